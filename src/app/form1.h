#pragma once
// The program's one window: start-up, resize, closing and the "Start" command, written against the
// user-interface layer only.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/user_interface.h"
#include "export/contact_source.h"
#include "export/run_surroundings.h"
#include "export/source_notes.h"

namespace fernkartei::app {

// 16-bit truth values as the window keeps them.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

inline constexpr const char* kSecondInstanceMessage =
    "Achtung!\r\nEs läuft bereits eine Instanz dieser Anwendung.\r\n\r\n"
    "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!";
inline constexpr const char* kNotSupportedMessage = "Funktion noch nicht unterstützt";

class Form1;

// One export procedure: the window, then fresh copies of the participants and the template texts, which
// the procedure may change without the text boxes noticing.
using ExportProcedure =
    std::function<void(Form1& window, std::string& participants, std::string& number_template)>;
// By Option1 index: NFon, Siemens, einfache CSV, keine Änderung.
using ExportProcedures = std::array<ExportProcedure, kOptionCount>;

// The four export runs, each over the contact source the factory makes for it. passed_over: the tally
// the factory's note sink counts into; after a written file, one more message names what was passed over.
ExportProcedures ExportProceduresOver(exporting::ContactSourceFactory sources,
                                      exporting::PassedOverTally* passed_over = nullptr);

// The window is also what an export run sees of its surroundings: message boxes, ProgressBar1 and the
// screen pointer all pass through to the user-interface layer.
class Form1 : public exporting::RunSurroundings {
 public:
  // program_folder: where system.ini and, by default, the area-code database live.
  Form1(UserInterface& ui, ExportProcedures exports, std::string program_folder);

  void Form_Load();
  void Form_Resize();
  void Form_Unload(std::int16_t& Cancel);
  void Command1_Click();

  UserInterface& ui() { return ui_; }

  // True (-1) while an export runs: a second "Start" and a close request are refused meanwhile.
  std::int16_t Export_Busy = kFalse;

  void ShowMessage(const std::string& text, exporting::MessageIcon icon) override;
  float ProgressMax() const override;
  float ProgressValue() const override;
  void SetProgressValue(float value) override;
  int MousePointer() const override;
  void SetMousePointer(int code) override;
  std::optional<std::string> PickContactsFolder() override;

 private:
  UserInterface& ui_;
  ExportProcedures exports_;
  std::string program_folder_;
};

// The German text of the report on a failure that no handler settled: its number and description.
std::string UnhandledFailureText(std::int32_t number, const std::string& description);

// Runs one event handler. A failure escaping it ends the program the way an unhandled run-time error
// always did: a message box with number and description, then exit status 1. Nothing escapes into the
// toolkit's event loop.
void RunEventHandler(UserInterface& ui, const std::function<void()>& handler);

}  // namespace fernkartei::app
