// Form1's handlers and what every toolkit's window shares, against the fake user interface.

#include "app/form1.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/form1_layout.h"
#include "app/progress_bar_properties.h"
#include "contacts/vcard_source.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/failure.h"
#include "support/settings.h"

namespace fernkartei::app {
namespace {

using P = ProgressProperty;

// A user-interface layer that keeps what the handlers did to it.
struct FakeUserInterface : UserInterface {
  void MsgBox(const std::string& text, exporting::MessageIcon icon) override {
    messages.push_back({text, icon, pointer, progress[Slot(ProgressProperty::Value)]});
  }
  bool AnotherInstanceRunning() override { return another_instance; }
  void EndProcess(int exit_status) override { ended_with = exit_status; }
  void SetCaption(const std::string& text) override { caption = text; }
  float ScaleWidth() const override { return scale_width; }
  float ScaleHeight() const override { return scale_height; }
  std::string Text(TextBox box) const override { return texts[box == TextBox::Text1 ? 0 : 1]; }
  void SetText(TextBox box, const std::string& text) override { texts[box == TextBox::Text1 ? 0 : 1] = text; }
  bool OptionValue(int index) const override { return options.at(static_cast<std::size_t>(index)); }
  void SelectOption(int index) override {
    options = {};
    options.at(static_cast<std::size_t>(index)) = true;
  }
  float Progress(ProgressProperty property) const override { return progress[Slot(property)]; }
  void SetProgress(ProgressProperty property, float value) override { progress[Slot(property)] = value; }
  std::optional<std::string> PickContactsFolder() override { return picked; }
  int MousePointer() const override { return pointer; }
  void SetMousePointer(int code) override { pointer = code; }

  static std::size_t Slot(ProgressProperty property) { return static_cast<std::size_t>(property); }

  bool another_instance = false;
  float scale_width = 5775, scale_height = 2205;
  std::vector<fakes::ShownMessage> messages;
  std::optional<int> ended_with;
  std::string caption;
  std::array<std::string, 2> texts{"I (V) N", "I (V) N"};
  std::array<bool, kOptionCount> options{true, false, false, false};  // index 0 at creation
  std::array<float, 7> progress{0, 100, 0, 0, 1920, 5715, 255};       // Min .. Height
  int pointer = 0;
  std::optional<std::string> picked;  // what the folder dialog gives
};

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override { testing::MakeAreaCodeDatabase(program, {"30"}); }
  // Export procedures that record how they were called (index, participants, template, whether busy, the
  // settings file then), then do `during` to the window.
  ExportProcedures Recording() {
    ExportProcedures procedures;
    for (int index = 0; index < kOptionCount; ++index) {
      procedures[static_cast<std::size_t>(index)] = [this, index](Form1& window, std::string& participants,
                                                                  std::string& number_template) {
        calls.push_back(std::to_string(index) + " " + participants + " " + number_template +
                        (window.Export_Busy == kTrue ? " busy " : " idle ") + program.Settings());
        if (during) during(window, participants, number_template);
      };
    }
    return procedures;
  }
  // Form_Load as the program runs it: from a fresh process.
  void Load(FakeUserInterface& ui, ExportProcedures procedures = {}) {
    testing::ClearProcessState();
    form.emplace(ui, procedures[0] ? procedures : Recording(), program.path().string());
    RunEventHandler(ui, [&] { form->Form_Load(); });
  }

  testing::ProgramFolder program;
  FakeUserInterface ui;
  std::optional<Form1> form;
  std::vector<std::string> calls;
  std::function<void(Form1&, std::string&, std::string&)> during;
};

// The settings fill the window; the area-code file decides between table mode, fixed lengths and the end
// of the program, before the window shows.
TEST_F(Form1Test, StartUpShowsTheSettingsAndWritesNothing) {
  struct Case {
    std::string settings;  // empty: no file
    int selected;
    std::string text1, text2;
    std::optional<bool> table;  // nothing: start-up ends
  };
  // A copy outside the program folder: on Windows the ADO double keeps its journal beside the file.
  const testing::TempFolder elsewhere;
  const std::string access = elsewhere.Write(
      "access.mdb", testing::ReadFile(std::string(FERNKARTEI_TEST_DATA) + "/access/testV2000.mdb"));
  const Case cases[] = {
      {"", 0, "I (V) N", "11,12,15", true},
      {"Typ=3\r\nOutput=V-N\r\nTeilnehmer=21\r\n", 3, "V-N", "21", true},
      {"Typ=02\r\n", 0, "I (V) N", "11,12,15", true},  // names no format: the choice at creation stays
      {"DatabaseName=" + access + "\r\n", 0, "I (V) N", "11,12,15", false},
      {"DatabaseName=" + (program / "fehlt.mdb") + "\r\n", 0, "I (V) N", "11,12,15", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    std::filesystem::remove(program.path() / "system.ini");
    if (!c.settings.empty()) program.WriteSettings(c.settings);
    FakeUserInterface fresh;
    Load(fresh);
    EXPECT_EQ(fresh.caption, "Fernkartei");
    EXPECT_EQ(support::INI_Path, program / "system.ini");
    EXPECT_EQ(fresh.options[static_cast<std::size_t>(c.selected)], true);
    EXPECT_EQ(fresh.texts, (std::array<std::string, 2>{c.text1, c.text2}));
    EXPECT_EQ(std::vector(fresh.progress.begin(), fresh.progress.begin() + 3),
              (std::vector<float>{1, 100, 1}));
    EXPECT_EQ(phone::Area_Table_Exists, c.table.value_or(false));
    EXPECT_EQ(phone::DB_Connection == nullptr, !c.table);
    EXPECT_EQ(fresh.ended_with, c.table ? std::nullopt : std::optional<int>(1));
    EXPECT_EQ(fresh.messages.empty() ? "" : fresh.messages[0].text.substr(0, 19),
              c.table ? "" : "Laufzeitfehler '53'");
    EXPECT_EQ(program.Names().size(), c.settings.empty() ? 1U : 2U) << "nothing written";
  }
}

TEST_F(Form1Test, ASecondInstanceShowsTheWarningAndEndsBeforeTouchingAnything) {
  program.WriteSettings("Typ=3\r\n");
  ui.another_instance = true;
  Load(ui);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text,
            "Achtung!\r\nEs läuft bereits eine Instanz dieser Anwendung.\r\n\r\n"
            "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!");
  EXPECT_EQ(ui.ended_with, 0);
  EXPECT_EQ(support::INI_Path, "");
  EXPECT_EQ(phone::DB_Connection, nullptr);
}

TEST_F(Form1Test, ResizeKeepsTheBarAlongTheBottomWithoutClamping) {
  const std::array<float, 4> cases[] = {// width, height, bar height, top
                                        {100, 200, 255, -55},
                                        {4321.5F, 1000.25F, 300, 700.25F}};
  for (const auto& [width, height, bar_height, top] : cases) {
    FakeUserInterface fresh;
    fresh.scale_width = width;
    fresh.scale_height = height;
    fresh.progress = {1, 100, 1, 120, 0, 1, bar_height};
    Form1(fresh, {}, "").Form_Resize();
    EXPECT_EQ(fresh.progress, (std::array<float, 7>{1, 100, 1, 0, top, width, bar_height}));
  }
}

TEST_F(Form1Test, StartStoresTheSettingsThenHandsFreshCopiesToTheChosenExport) {
  // The export may change its arguments, click again and ask to close: none of it reaches the window.
  std::int16_t cancel = kFalse;
  during = [&](Form1& window, std::string& participants, std::string& number_template) {
    participants = number_template = "geändert";
    window.Command1_Click();
    window.Form_Unload(cancel);
  };
  for (int index = 0; index < kOptionCount; ++index) {
    std::filesystem::remove(program.path() / "system.ini");
    calls.clear();
    Load(ui);
    ui.SelectOption(index);
    const std::string typ = std::to_string(index), participants = index == 2 ? "" : "21,22";
    ui.texts = {"+I-V-N" + typ, participants};
    form->Command1_Click();
    EXPECT_EQ(calls, std::vector<std::string>{typ + " " + participants + " +I-V-N" + typ +
                                              " busy [Fernkartei]\r\nOutput=+I-V-N" + typ +
                                              "\r\nTeilnehmer=" + participants + "\r\nTyp=" + typ + "\r\n"});
    EXPECT_EQ(std::exchange(cancel, kFalse), kTrue);
    EXPECT_EQ(ui.texts, (std::array<std::string, 2>{"+I-V-N" + typ, participants}));
    EXPECT_EQ(form->Export_Busy, kFalse);
    EXPECT_FALSE(ui.ended_with.has_value());
  }
  form->Form_Unload(cancel);
  EXPECT_EQ(ui.ended_with, 0);
  EXPECT_EQ(phone::DB_Connection, nullptr);
}

// The window's own export procedures, each into its file in the profile, the folder picked in the dialog;
// then one more message names what a run passed over.
TEST_F(Form1Test, EachOptionExportsItsFormatAndTellsWhatWasPassedOver) {
  const std::string example = std::string(FERNKARTEI_SOURCE_DIR) + "/tests/export/golden/worked-example";
  const testing::ScopedEnvironment profile("USERPROFILE", program.path().string().c_str());
  std::filesystem::create_directories(program.path() / "documents");
  exporting::PassedOverTally tally;
  const auto procedures = ExportProceduresOver(
      [&](const std::string&, const exporting::FolderPicker& pick) {
        return std::make_unique<contacts::VCardSource>(program.path().string(), pick, tally.Counting());
      },
      &tally);
  program.WriteSettings("DatabaseName=" + testing::kShippedDatabase + "\r\n");
  ui.picked = example;
  Load(ui, procedures);
  for (const auto& traits : exporting::kExportFormats) {
    ui.messages.clear();
    ui.SelectOption(static_cast<int>(traits.format));
    form->Command1_Click();
    const auto written = program.path() / "documents" / traits.file_name;
    EXPECT_EQ(testing::ReadFile(written), testing::ReadFile(example + "/" + traits.file_name));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Fertig, 1 Adressen exportiert in \r\n" + written.string());
  }
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), example);

  ui.picked = program.Write("a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nTEL;CELL:1\r\n");
  ui.messages.clear();
  form->Command1_Click();
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_TRUE(ui.messages[1].text.starts_with("Beim Lesen der Kontakte übergangen: 0 Dateien, 1 Karte,"))
      << ui.messages[1].text;
}

TEST(RunEventHandlerTest, ReportsWhatEscapesAHandlerAndEndsWithStatusOne) {
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] {}, ""},
      {[] { throw support::Failure(support::ErrorNumber::FileNotFound); },
       "Laufzeitfehler '53':\r\n\r\nFile not found"},
      {[] { throw std::bad_alloc(); }, "Laufzeitfehler '7':\r\n\r\nOut of memory"},
      {[] { throw std::out_of_range("vector"); }, "Laufzeitfehler '5':\r\n\r\nvector"},
      {[] { throw 42; }, "Laufzeitfehler '5':\r\n\r\nInvalid procedure call or argument"},
  };
  for (const auto& [handler, message] : cases) {
    FakeUserInterface ui;
    RunEventHandler(ui, handler);
    EXPECT_EQ(ui.messages.empty() ? "" : ui.messages.at(0).text, message);
    EXPECT_TRUE(ui.messages.empty() || ui.messages[0].icon == exporting::MessageIcon::Stop);
    EXPECT_EQ(ui.ended_with, message.empty() ? std::nullopt : std::optional<int>(1));
  }
  // What an export shows passes through the window with its icon.
  FakeUserInterface ui;
  Form1(ui, {}, "").ShowMessage("Bitte einen Kontakte-Ordner auswählen", exporting::MessageIcon::Stop);
  EXPECT_EQ(ui.messages.at(0).icon, exporting::MessageIcon::Stop);
}

TEST(WindowFiguresTest, PixelsOfTwipsAndTheFilledShareOfTheBar) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const std::array<float, 3> pixels[] = {// twips, dpi, pixels: nearest, halves away from zero
                                         {5775, 96, 385},  {7.5F, 96, 1}, {7.4F, 96, 0}, {-7.5F, 96, -1},
                                         {1950, 120, 163}, {kNaN, 96, 0}, {255, 0, 0},   {255, -96, 0}};
  for (const auto& [twips, dpi, expected] : pixels) EXPECT_EQ(TwipsToPixels(twips, dpi), expected) << twips;

  const std::array<float, 4> shares[] = {
      // min, max, value, share
      {1, 100, 50.5F, 0.5F}, {1, 100, 250, 1}, {1, 100, 0, 0}, {5, 5, 5, 0}, {9, 1, 5, 0}, {1, 100, kNaN, 0}};
  for (const auto& [min, max, value, share] : shares) {
    ProgressBarProperties bar;
    for (const auto& [property, set] : {std::pair{P::Min, min}, {P::Max, max}, {P::Value, value}})
      bar.Set(property, set);
    EXPECT_EQ(bar.FilledShare(), share) << min << " " << max << " " << value;
  }
  // Kept exactly as set, each in its own place.
  ProgressBarProperties bar;
  for (int property = 0; property < 7; ++property) bar.Set(static_cast<P>(property), property + 0.5F);
  for (int property = 0; property < 7; ++property)
    EXPECT_EQ(bar.Get(static_cast<P>(property)), property + 0.5F);
}

}  // namespace
}  // namespace fernkartei::app
