#!/usr/bin/env python3
"""A WebDAV server that misbehaves, for the CardDAV tests.

canned_server.py PORT [FILE]: answers every PROPFIND and REPORT on 127.0.0.1:PORT with status 207 and the
bytes of FILE; with FILE "redirect" it sends every request back to where it came from; without FILE (or
with an empty one) it reads each request and never answers.
"""
import http.server
import sys
import time

port = int(sys.argv[1])
name = sys.argv[2] if len(sys.argv) > 2 else ""
answer = open(name, "rb").read() if name and name != "redirect" else None


class Handler(http.server.BaseHTTPRequestHandler):
    def answer(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if name == "redirect":
            self.send_response(307)
            self.send_header("Location", self.path)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if answer is None:
            time.sleep(3600)
        self.send_response(207)
        self.send_header("Content-Type", "application/xml; charset=utf-8")
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    do_PROPFIND = do_REPORT = answer

    def log_message(self, *arguments):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
server.daemon_threads = True
server.serve_forever()
