// The desktop program: Form1 is the start object. Start-up runs while the window is hidden; the window
// shows only when start-up completed.

#include <QApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/qt_form.h"
#include "contacts/contact_sources.h"
#include "support/program_folder.h"

namespace {

bool EnvironmentFlag(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

// FERNKARTEI_STARTUP_TIMING reports the time from the start of main to the window's first paint;
// FERNKARTEI_SCREENSHOT=<file.png> saves the window as it is then drawn and ends the program.
void WatchFirstPaint(fernkartei::app::QtForm& window, const QElapsedTimer& since_start, qint64 toolkit_ready,
                     qint64 loaded) {
  const bool report_timing = EnvironmentFlag("FERNKARTEI_STARTUP_TIMING");
  const QString screenshot = qEnvironmentVariable("FERNKARTEI_SCREENSHOT");
  QObject::connect(&window, &fernkartei::app::QtForm::FirstPainted, &window, [=, &window, &since_start] {
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
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer since_start;
  since_start.start();

  // The application name stays the executable's: nothing below depends on it.
  QApplication application(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("fernkartei"));

  // Qt's own buttons and dialogs in German, like the rest of the program.
  QTranslator qt_german;
  if (qt_german.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_german);
  }

  const qint64 toolkit_ready = since_start.elapsed();

  // The parts of the program: the Qt window, and the contact sources of this platform.
  fernkartei::app::QtFormOptions options;
  options.program_folder = fernkartei::support::ProgramFolder();
  options.exports = fernkartei::app::ExportProceduresOver(
      fernkartei::contacts::MakeContactSourceFactory(options.program_folder));
  options.auto_confirm = EnvironmentFlag("FERNKARTEI_AUTO_CONFIRM");
  fernkartei::app::QtForm window(options);
  if (!window.Load()) return window.ExitStatus();
  const qint64 loaded = since_start.elapsed();

  WatchFirstPaint(window, since_start, toolkit_ready, loaded);
  window.show();
  // The first Form_Resize runs while showing; a failure there has already ended the program.
  if (window.Ended()) return window.ExitStatus();
  return QApplication::exec();
}
