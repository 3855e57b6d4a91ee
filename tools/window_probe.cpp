// fernkartei-window-probe: the desktop program for its developers, not shipped. It starts exactly as the
// program does and, once the window is first drawn, can report how long start-up took and save the
// window as a picture.
//
//   fernkartei-window-probe [--startup-timing] [--screenshot FILE.png] [options of fernkartei]
//
// --startup-timing prints the milliseconds from the start of main to Qt ready, to the end of Form_Load
// and to the first paint; --screenshot saves the window then and ends (status 0, or 1 when the file
// could not be written). Everything else goes to the program, --auto-confirm for example.

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/desktop_program.h"
#include "app/qt_form.h"

int main(int argc, char** argv) {
  QElapsedTimer since_start;
  since_start.start();
  bool report_timing = false;
  QString screenshot;
  std::vector<char*> program_arguments;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--startup-timing") {
      report_timing = true;
    } else if (argument == "--screenshot" && i + 1 < argc) {
      screenshot = QString::fromLocal8Bit(argv[++i]);
    } else {
      program_arguments.push_back(argv[i]);
    }
  }
  int program_argc = static_cast<int>(program_arguments.size());
  program_arguments.push_back(nullptr);

  qint64 toolkit_ready = 0;
  qint64 loaded = 0;
  fernkartei::app::StartWatch watch;
  watch.toolkit_ready = [&] { toolkit_ready = since_start.elapsed(); };
  watch.loaded = [&] { loaded = since_start.elapsed(); };
  watch.before_show = [&](fernkartei::app::QtForm& window) {
    QObject::connect(&window, &fernkartei::app::QtForm::FirstPainted, &window, [&] {
      if (report_timing) {
        std::fprintf(stderr,
                     "fernkartei: Qt nach %lld ms, Form_Load nach %lld ms, Fenster nach %lld ms gezeigt\n",
                     static_cast<long long>(toolkit_ready), static_cast<long long>(loaded),
                     static_cast<long long>(since_start.elapsed()));
        std::fflush(stderr);
      }
      if (!screenshot.isEmpty()) {
        const bool saved = window.grab().save(screenshot, "PNG");
        if (!saved)
          std::fprintf(stderr, "fernkartei: Bildschirmfoto nicht gespeichert: %s\n", qPrintable(screenshot));
        QApplication::exit(saved ? 0 : 1);
      }
    });
  };
  return fernkartei::app::RunDesktopProgram(program_argc, program_arguments.data(), watch);
}
