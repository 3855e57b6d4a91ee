#pragma once
// Servers for the CardDAV tests and the benchmark: Radicale from Debian on a free local port with its own
// storage and users, plain or with a certificate made for the test.

#include <arpa/inet.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fixtures/temp_folder.h"

extern char** environ;

namespace fernkartei::testing {

inline constexpr const char* kDavPassword = "geheim";

// A program running beside the test (its output into `log`), ended when this goes unless it ended before.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& arguments, const std::string& log) {
    std::vector<char*> argv;
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    const int error = posix_spawnp(&pid_, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) throw std::runtime_error("cannot start " + arguments[0]);
  }
  ~ChildProcess() {
    if (pid_ != 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits for the end; true when the program exited with 0. `usage` receives what it used.
  bool Wait(rusage& usage) {
    int status = 0;
    wait4(std::exchange(pid_, 0), &status, 0, &usage);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

 private:
  pid_t pid_ = 0;
};

// Binds a free port of 127.0.0.1 and gives it, or connects to `port` and gives non-zero when that worked.
inline int Loopback(int port, bool connect_to_it) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  socklen_t size = sizeof address;
  auto* any = reinterpret_cast<sockaddr*>(&address);
  const bool done = connect_to_it ? connect(s, any, size) == 0 : bind(s, any, size) == 0;
  getsockname(s, any, &size);
  close(s);
  return done ? ntohs(address.sin_port) : 0;
}

// A port nobody listens on just now.
inline int FreePort() {
  return Loopback(0, false);
}

inline void WaitUntilListening(int port) {
  for (int attempt = 0; attempt < 300 && Loopback(port, true) == 0; ++attempt)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// What a shell command printed on standard output.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Radicale with the users anna (address book "kontakte") and bert, both with the password kDavPassword.
class Radicale {
 public:
  explicit Radicale(bool tls) : tls_(tls), port_(FreePort()) {
    std::string server = "[server]\nhosts = 127.0.0.1:" + std::to_string(port_) + "\n";
    if (tls) {
      Output(
          "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj "
          "/CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
          (folder_ / "key.pem") + " -out " + ca_file() + " 2>/dev/null");
      server += "ssl = True\ncertificate = " + ca_file() + "\nkey = " + (folder_ / "key.pem") + "\n";
    }
    folder_.Write("users", std::string("anna:") + kDavPassword + "\nbert:" + kDavPassword + "\n");
    folder_.Write("config", server + "[auth]\ntype = htpasswd\nhtpasswd_filename = " + (folder_ / "users") +
                                "\nhtpasswd_encryption = plain\n[rights]\ntype = owner_only\n"
                                "[storage]\nfilesystem_folder = " +
                                (folder_ / "storage") + "\n[web]\ntype = none\n[logging]\nlevel = warning\n");
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"radicale", "--config", folder_ / "config"}, folder_ / "log");
    WaitUntilListening(port_);
    MakeAddressBook("anna", "/anna/kontakte/", "Kontakte");
  }

  // scheme://user@127.0.0.1:port + path
  std::string Url(const std::string& user, const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://" + (user.empty() ? "" : user + "@") +
           "127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string ca_file() const { return tls_ ? folder_ / "cert.pem" : ""; }

  // One request through the curl program; the HTTP status. The answer goes to `answer_file`.
  int Curl(const std::string& user, const std::string& method, const std::string& path,
           const std::string& body_file, const std::string& answer_file = "/dev/null",
           const std::string& headers = "") const {
    std::string command = "curl -sS -H 'Expect:' " + headers + " -u " + user + ":" + kDavPassword + " -X " +
                          method + " -o '" + answer_file + "' -w '%{http_code}' '" + Url("", path) + "'";
    if (tls_) command += " --cacert " + ca_file();
    if (!body_file.empty()) command += " --data-binary '@" + body_file + "'";
    return std::atoi(Output(command).c_str());
  }

  void MakeAddressBook(const std::string& user, const std::string& path, const std::string& name) const {
    const std::string body = folder_.Write(
        "mkcol.xml",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><D:mkcol xmlns:D=\"DAV:\" "
        "xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:set><D:prop><D:resourcetype><D:collection/>"
        "<C:addressbook/></D:resourcetype><D:displayname>" +
            name + "</D:displayname></D:prop></D:set></D:mkcol>");
    if (Curl(user, "MKCOL", path, body) != 201) throw std::runtime_error("MKCOL " + path + " failed");
  }

 private:
  TempFolder folder_;
  bool tls_;
  int port_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace fernkartei::testing
