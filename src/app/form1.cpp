#include "app/form1.h"

#include <exception>
#include <new>
#include <utility>

#include "export/program_settings.h"
#include "phone/area_code_database.h"
#include "support/failure.h"
#include "support/process_state.h"
#include "support/settings.h"

namespace fernkartei::app {

using support::App_Title;

Form1::Form1(UserInterface& ui, ExportProcedures exports, std::string program_folder)
    : ui_(ui), exports_(std::move(exports)), program_folder_(std::move(program_folder)) {}

void Form1::Form_Load() {
  App_Title = support::kAppTitle;
  if (ui_.AnotherInstanceRunning()) {
    ui_.MsgBox(kSecondInstanceMessage, exporting::MessageIcon::None);
    // A refused second start is the designed outcome, not a failure.
    ui_.EndProcess(0);
    return;
  }
  ui_.SetProgress(ProgressProperty::Min, 1);
  ui_.SetProgress(ProgressProperty::Max, 100);
  ui_.SetProgress(ProgressProperty::Value, 1);
  ui_.SetCaption(App_Title);

  support::INI_Path = exporting::SettingsFileIn(program_folder_);
  const exporting::ProgramSettings settings = exporting::ReadProgramSettings(program_folder_);
  // A "Typ" that names no format selects nothing, and the choice at creation stays.
  if (settings.format) ui_.SelectOption(static_cast<int>(*settings.format));
  ui_.SetText(TextBox::Text1, settings.number_template);
  ui_.SetText(TextBox::Text2, settings.participants);

  // An area-code file that cannot be opened is not trapped here: it ends start-up before the window shows.
  phone::ConnectAreaCodeDatabase(settings.database_name);
}

void Form1::Form_Resize() {
  ui_.SetProgress(ProgressProperty::Left, 0);
  ui_.SetProgress(ProgressProperty::Width, ui_.ScaleWidth());
  // Unclamped: a client area lower than the bar puts it above the top edge.
  ui_.SetProgress(ProgressProperty::Top, ui_.ScaleHeight() - ui_.Progress(ProgressProperty::Height));
}

void Form1::Form_Unload(std::int16_t& Cancel) {
  if (Export_Busy != kFalse) {
    Cancel = kTrue;
    return;
  }
  phone::DB_Connection.reset();
  ui_.EndProcess(0);
}

void Form1::Command1_Click() {
  if (Export_Busy != kFalse) return;
  // Stored before anything can fail, so the user's edits survive an export that goes wrong.
  support::Write_INI(App_Title, exporting::kOutputKey, ui_.Text(TextBox::Text1));
  support::Write_INI(App_Title, exporting::kParticipantsKey, ui_.Text(TextBox::Text2));
  for (const auto& traits : exporting::kExportFormats) {
    const int index = static_cast<int>(traits.format);
    if (!ui_.OptionValue(index)) continue;
    Export_Busy = kTrue;
    support::Write_INI(App_Title, exporting::kTypKey, exporting::TypOf(traits.format));
    std::string participants = ui_.Text(TextBox::Text2);
    std::string number_template = ui_.Text(TextBox::Text1);
    exports_[static_cast<std::size_t>(index)](*this, participants, number_template);
    Export_Busy = kFalse;
    return;
  }
  ui_.MsgBox(kNotSupportedMessage, exporting::MessageIcon::None);
}

void Form1::ShowMessage(const std::string& text, exporting::MessageIcon icon) {
  ui_.MsgBox(text, icon);
}
float Form1::ProgressMax() const {
  return ui_.Progress(ProgressProperty::Max);
}
float Form1::ProgressValue() const {
  return ui_.Progress(ProgressProperty::Value);
}
void Form1::SetProgressValue(float value) {
  ui_.SetProgress(ProgressProperty::Value, value);
}
int Form1::MousePointer() const {
  return ui_.MousePointer();
}
void Form1::SetMousePointer(int code) {
  ui_.SetMousePointer(code);
}
std::optional<std::string> Form1::PickContactsFolder() {
  return ui_.PickContactsFolder();
}

std::string UnhandledFailureText(std::int32_t number, const std::string& description) {
  return "Laufzeitfehler '" + std::to_string(number) + "':\r\n\r\n" + description;
}

void RunEventHandler(UserInterface& ui, const std::function<void()>& handler) {
  std::int32_t number = 0;
  std::string description;
  try {
    handler();
    return;
  } catch (const support::Failure& failure) {
    number = failure.number();
    description = failure.description();
  } catch (const std::bad_alloc&) {
    number = static_cast<std::int32_t>(support::ErrorNumber::OutOfMemory);
    description = support::DescriptionOf(support::ErrorNumber::OutOfMemory);
  } catch (const std::exception& error) {
    number = static_cast<std::int32_t>(support::ErrorNumber::InvalidProcedureCall);
    description = error.what();
  } catch (...) {
    number = static_cast<std::int32_t>(support::ErrorNumber::InvalidProcedureCall);
    description = support::DescriptionOf(support::ErrorNumber::InvalidProcedureCall);
  }
  // The report itself may fail (a toolkit out of memory); the program ends all the same.
  try {
    ui.MsgBox(UnhandledFailureText(number, description), exporting::MessageIcon::Stop);
  } catch (...) {
  }
  ui.EndProcess(1);
}

}  // namespace fernkartei::app
