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
#include "contacts/carddav/carddav_source.h"
#include "contacts/vcard_source.h"
#include "export/export_run.h"
#include "support/process_state.h"
#include "support/program_folder.h"
#include "support/settings.h"

namespace fernkartei::cli {
namespace {

using exporting::ExportFormat;

// The window's format choice from "Typ": exactly "0" to "3"; anything else keeps the first option.
ExportFormat FormatFromSetting(const std::string& typ) {
  if (typ == "1") return ExportFormat::Siemens;
  if (typ == "2") return ExportFormat::Outlook;
  if (typ == "3") return ExportFormat::Simple;
  return ExportFormat::Nfon;
}

ExportFormat FormatFromOption(const std::string& name) {
  if (name == "siemens") return ExportFormat::Siemens;
  if (name == "outlook") return ExportFormat::Outlook;
  if (name == "simple") return ExportFormat::Simple;
  return ExportFormat::Nfon;
}

std::string WithPlainLineBreaks(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1)) {
    text.erase(at, 1);
  }
  return text;
}

// What the window shows in message boxes goes to the terminal; the progress bar becomes a running count
// on a terminal and stays silent in scripts.
class TerminalSurroundings : public exporting::RunSurroundings {
 public:
  explicit TerminalSurroundings(bool show_progress) : show_progress_(show_progress) {}

  void ShowMessage(const std::string& text, exporting::MessageIcon) override {
    ClearProgress();
    messages_.push_back(WithPlainLineBreaks(text));
  }
  float ProgressMax() const override { return maximum_; }
  float ProgressValue() const override { return value_; }
  void SetProgressValue(float value) override {
    value_ = value;
    ++steps_;
    // Eight steps per contact; a line every 100 contacts keeps the terminal cheap.
    if (show_progress_ && steps_ % 800 == 0) {
      std::fprintf(stderr, "\r%ld Kontakte gelesen …", steps_ / 8);
      std::fflush(stderr);
      progress_shown_ = true;
    }
  }
  int MousePointer() const override { return pointer_; }
  void SetMousePointer(int code) override { pointer_ = code; }

  const std::vector<std::string>& messages() const { return messages_; }

 private:
  void ClearProgress() {
    if (!progress_shown_) return;
    std::fputs("\r\033[K", stderr);
    progress_shown_ = false;
  }

  bool show_progress_;
  bool progress_shown_ = false;
  long steps_ = 0;
  float maximum_ = 100;
  float value_ = 1;
  int pointer_ = support::kDefaultPointer;
  std::vector<std::string> messages_;
};

// No folder dialog on the command line: the run then ends as if the user had cancelled it.
std::optional<std::string> NoFolderPicker() {
  std::cerr << "Kein Kontakte-Ordner angegeben: --contacts PFAD oder Outlook-Ordner in der "
               "Einstellungsdatei setzen.\n";
  return std::nullopt;
}

}  // namespace

int RunExportCommand(const CliOptions& options) {
  UseSettingsFile(options);
  const ExportFormat format = options.format
                                  ? FormatFromOption(*options.format)
                                  : FormatFromSetting(support::Get_InI(support::App_Title, "Typ", "0"));
  std::string number_template = Setting(options.number_template, "Output", "I (V) N");
  std::string participants = Setting(options.participants, "Teilnehmer", "11,12,15");
  OpenAreaCodes(options);

  exporting::RunOptions run_options;
  run_options.contacts_folder = options.contacts;
  run_options.record_picked_folder = false;
  const bool to_standard_output = options.output && *options.output == "-";
  if (to_standard_output) {
    run_options.output_stream = stdout;
  } else if (options.output) {
    run_options.output_path = *options.output;
  }

  TerminalSurroundings surroundings(FERNKARTEI_ISATTY(FERNKARTEI_FILENO(stderr)) != 0);
  // What the cards reader passed over is worth knowing, but it is no message of the run.
  const contacts::DiagnosticSink to_terminal = [](const std::string& note) { std::cerr << note << '\n'; };
  std::unique_ptr<exporting::ContactSource> contacts;
  if (contacts::IsCardDavAddress(Setting(options.contacts, "Outlook-Ordner", ""))) {
    contacts = contacts::MakeCardDavSource(CardDavSettings(options), to_terminal);
  } else {
    contacts =
        std::make_unique<contacts::VCardSource>(support::ProgramFolder(), &NoFolderPicker, to_terminal);
  }
  const auto outcome =
      exporting::RunExport(format, surroundings, *contacts, participants, number_template, run_options);

  // The final message belongs on standard output, unless the export itself went there.
  std::ostream& report =
      outcome == exporting::RunOutcome::Written && !to_standard_output ? std::cout : std::cerr;
  for (const auto& message : surroundings.messages()) report << message << '\n';
  return outcome == exporting::RunOutcome::Written ? kExitWritten : kExitRunFailed;
}

}  // namespace fernkartei::cli
