#include "app/desktop_program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/qt_form.h"
#include "contacts/contact_sources.h"
#include "support/program_folder.h"

namespace fernkartei::app {
namespace {

// True when --auto-confirm was given; ends the process with a German message for anything unknown.
bool AutoConfirmRequested(const QApplication& application) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Fernkartei: Kontakte als Telefonbuch-Datei für die Telefonanlage exportieren"));
  parser.addHelpOption();
  const QCommandLineOption auto_confirm(
      QStringLiteral("auto-confirm"),
      QStringLiteral("bestätigt jede Meldung, sobald sie erscheint, und schreibt ihren Text auf die "
                     "Standardfehlerausgabe (für Skripte)"));
  parser.addOption(auto_confirm);
  parser.process(application);
  return parser.isSet(auto_confirm);
}

}  // namespace

int RunDesktopProgram(int argc, char** argv, const StartWatch& watch) {
  // The application name stays the executable's: nothing below depends on it.
  QApplication application(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("fernkartei"));

  // Qt's own buttons and dialogs in German, like the rest of the program.
  QTranslator qt_german;
  if (qt_german.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_german);
  }
  QtFormOptions options;
  options.auto_confirm = AutoConfirmRequested(application);
  if (watch.toolkit_ready) watch.toolkit_ready();

  // The parts of the program: the Qt window, and the contact sources of this platform, whose notes on
  // what they passed over are counted for the message after each export.
  exporting::PassedOverTally passed_over;
  options.program_folder = support::ProgramFolder();
  options.exports = ExportProceduresOver(
      contacts::MakeContactSourceFactory(options.program_folder, passed_over.Counting()), &passed_over);
  QtForm window(options);
  if (!window.Load()) return window.ExitStatus();
  if (watch.loaded) watch.loaded();

  if (watch.before_show) watch.before_show(window);
  window.show();
  // The first Form_Resize runs while showing; a failure there has already ended the program.
  if (window.Ended()) return window.ExitStatus();
  return QApplication::exec();
}

}  // namespace fernkartei::app
