// fernkartei-export without --explain: one export run with the settings the desktop program would use,
// messages on the terminal instead of message boxes.

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define FERNKARTEI_ISATTY _isatty
#define FERNKARTEI_FILENO _fileno
#else
#include <unistd.h>
#define FERNKARTEI_ISATTY isatty
#define FERNKARTEI_FILENO fileno
#endif

#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "export/export_run.h"
#include "export/quiet_surroundings.h"
#include "phone/area_code_database.h"

namespace fernkartei::cli {
namespace {

std::string WithPlainLineBreaks(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

// What the window shows in message boxes goes to the terminal; the progress bar becomes a running count
// on a terminal and stays silent in scripts. There is no folder dialog: a run that would ask for one ends
// as if the user had cancelled it.
class TerminalSurroundings : public exporting::QuietSurroundings {
 public:
  explicit TerminalSurroundings(bool show_progress) : show_progress_(show_progress) {}

  void ShowMessage(const std::string& text, exporting::MessageIcon icon) override {
    ClearProgress();
    QuietSurroundings::ShowMessage(WithPlainLineBreaks(text), icon);
  }
  void SetProgressValue(float value) override {
    QuietSurroundings::SetProgressValue(value);
    ++steps_;
    // Eight steps per contact; a line every 100 contacts keeps the terminal cheap.
    if (show_progress_ && steps_ % 800 == 0) {
      std::cerr << '\r' << steps_ / 8 << " Kontakte gelesen …" << std::flush;
      progress_shown_ = true;
    }
  }
  // Never asked: without a folder setting there is no source to ask (WithoutFolderDialog).
  std::optional<std::string> PickContactsFolder() override { return std::nullopt; }

 private:
  void ClearProgress() {
    if (!progress_shown_) return;
    // Blanks rather than an escape sequence: a Windows console does not always understand one.
    std::cerr << '\r' << std::string(40, ' ') << '\r' << std::flush;
    progress_shown_ = false;
  }

  bool show_progress_;
  bool progress_shown_ = false;
  long steps_ = 0;
};

// The command line has no folder dialog and must not open Outlook's: without a folder setting the run
// gets no contact source and ends with its Outlook message.
exporting::ContactSourceFactory WithoutFolderDialog(const exporting::ContactSourceFactory& sources) {
  return [&sources](const std::string& folder_setting,
                    const exporting::FolderPicker& pick_folder) -> std::unique_ptr<exporting::ContactSource> {
    if (!folder_setting.empty()) return sources(folder_setting, pick_folder);
    std::cerr << "Kein Kontakte-Ordner angegeben: --contacts oder Outlook-Ordner in der Einstellungsdatei "
                 "angeben (ein Ordner, eine .vcf-Datei, eine CardDAV-Adresse oder eine Outlook-Ordnernummer "
                 "wie 10).\n";
    return nullptr;
  };
}

exporting::RunOptions RunOptionsFor(const CliOptions& options, exporting::PassedOverTally& passed_over) {
  exporting::RunOptions run_options;
  run_options.contacts_folder = options.contacts;
  run_options.record_picked_folder = false;
  run_options.passed_over = &passed_over;
  run_options.strict = options.strict;
  if (options.output && *options.output == "-") {
    run_options.output_stream = stdout;
  } else if (options.output) {
    run_options.output_path = *options.output;
  }
  return run_options;
}

}  // namespace

int RunExportCommand(const CliOptions& options, const std::string& program_folder,
                     const exporting::ContactSourceFactory& sources,
                     exporting::PassedOverTally& passed_over) {
  exporting::ProgramSettings settings = UseSettingsFile(options, program_folder);
  phone::ConnectAreaCodeDatabase(settings.database_name);

  const exporting::RunOptions run_options = RunOptionsFor(options, passed_over);
  TerminalSurroundings surroundings(FERNKARTEI_ISATTY(FERNKARTEI_FILENO(stderr)) != 0);
  const auto outcome = exporting::RunExport(settings.format.value_or(exporting::ExportFormat::Nfon),
                                            surroundings, WithoutFolderDialog(sources), settings.participants,
                                            settings.number_template, run_options);

  // The final message belongs on standard output, unless the export itself went there.
  std::ostream& report = outcome == exporting::RunOutcome::Written && run_options.output_stream == nullptr
                             ? std::cout
                             : std::cerr;
  for (const auto& message : surroundings.messages()) report << message << '\n';
  return outcome == exporting::RunOutcome::Written ? kExitWritten : kExitRunFailed;
}

}  // namespace fernkartei::cli
