#include "app/form1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app_fixture.h"
#include "fake_user_interface.h"
#include "support/failure.h"
#include "support/wait_cursor.h"

namespace fernkartei::app {
namespace {

using ::testing::ElementsAre;
using testing::FakeUserInterface;
using ::testing::HasSubstr;
using testing::ProgramFolderFixture;
using ::testing::StartsWith;

struct ExportCall {
  int index;
  std::string participants, number_template;
  std::int16_t busy;
  std::string settings_then;
};

class Form1Test : public ::testing::Test {
 protected:
  // Export procedures that record how they were called, then do `during` to the window.
  ExportProcedures Recording() {
    ExportProcedures procedures;
    for (int index = 0; index < kOptionCount; ++index) {
      procedures[static_cast<std::size_t>(index)] = [this, index](Form1& window, std::string& participants,
                                                                  std::string& number_template) {
        calls.push_back({index, participants, number_template, window.Export_Busy, program.Settings()});
        if (during) during(window, participants, number_template);
      };
    }
    return procedures;
  }

  ProgramFolderFixture program;
  FakeUserInterface ui;
  std::vector<ExportCall> calls;
  std::function<void(Form1&, std::string&, std::string&)> during;
};

TEST_F(Form1Test, StartUpWithoutSettingsFollowsTheFixedOrderAndWritesNothing) {
  Form1 form(ui, Recording(), program.path());
  form.Form_Load();
  EXPECT_EQ(support::App_Title, "Fernkartei");
  EXPECT_THAT(ui.calls, ElementsAre("AnotherInstanceRunning", "SetProgress Min 1", "SetProgress Max 100",
                                    "SetProgress Value 1", "SetCaption Fernkartei", "SelectOption 0",
                                    "SetText1 I (V) N", "SetText2 11,12,15"));
  EXPECT_EQ(support::INI_Path, program.folder() / "system.ini");
  EXPECT_NE(phone::DB_Connection, nullptr);
  EXPECT_TRUE(phone::Area_Table_Exists);
  EXPECT_FALSE(ui.ended_with.has_value());
  EXPECT_FALSE(std::filesystem::exists(program.folder() / "system.ini"));
}

TEST_F(Form1Test, ASecondInstanceShowsTheWarningAndEndsBeforeTouchingAnything) {
  program.WriteSettings("Typ=3\r\n");
  const std::string before = program.Settings();
  support::INI_Path = "unchanged";
  ui.another_instance = true;
  Form1 form(ui, Recording(), program.path());
  form.Form_Load();
  EXPECT_THAT(ui.calls, ElementsAre("AnotherInstanceRunning", "MsgBox", "EndProcess 0"));
  EXPECT_EQ(ui.messages.at(0).text,
            "Achtung!\r\nEs läuft bereits eine Instanz dieser Anwendung.\r\n\r\n"
            "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!");
  EXPECT_EQ(ui.messages.at(0).icon, exporting::MessageIcon::None);
  EXPECT_EQ(support::INI_Path, "unchanged");
  EXPECT_EQ(phone::DB_Connection, nullptr);
  EXPECT_EQ(program.Settings(), before);
}

TEST_F(Form1Test, TheAreaCodeFileDecidesBetweenTableModeFixedLengthsAndTheEnd) {
  testing::WriteAreaCodeDatabase(program.folder() / "ohne.mdb", false);
  struct Case {
    std::string database;
    bool table, ends;
  };
  const Case cases[] = {
      {program.folder() / "vorwahlen.mdb", true, false},
      {program.folder() / "ohne.mdb", false, false},
      {program.folder() / "fehlt.mdb", false, true},
      {program.folder().Write("kaputt.mdb", "weder SQLite noch Access"), false, true},
      {program.folder().path().string(), false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.database);
    testing::ClearProcessState();
    program.WriteSettings("DatabaseName=" + c.database + "\r\n");
    FakeUserInterface fresh;
    Form1 form(fresh, Recording(), program.path());
    RunEventHandler(fresh, [&] { form.Form_Load(); });
    EXPECT_EQ(phone::Area_Table_Exists, c.table);
    EXPECT_EQ(fresh.ended_with, c.ends ? std::optional<int>(1) : std::nullopt);
    EXPECT_EQ(phone::DB_Connection == nullptr, c.ends);
    if (c.ends) {
      EXPECT_THAT(fresh.messages.at(0).text, StartsWith("Laufzeitfehler '"));
      EXPECT_EQ(fresh.messages.at(0).icon, exporting::MessageIcon::Stop);
    }
  }
}

TEST_F(Form1Test, ResizeKeepsTheBarAlongTheBottomWithoutClamping) {
  struct Case {
    float width, height, bar_height, top;
  };
  const Case cases[] = {{5775, 2205, 255, 1950},
                        {0, 0, 255, -255},
                        {100, 200, 255, -55},
                        {5775, 2205, 300, 1905},
                        {4321.5F, 1000.25F, 255, 745.25F}};
  for (const Case& c : cases) {
    FakeUserInterface fresh;
    fresh.scale_width = c.width;
    fresh.scale_height = c.height;
    fresh.progress = {1, 100, 1, 120, 0, 1, c.bar_height};
    Form1(fresh, {}, "").Form_Resize();
    EXPECT_THAT(fresh.progress, ElementsAre(1, 100, 1, 0, c.top, c.width, c.bar_height));
    EXPECT_THAT(fresh.calls, ElementsAre(HasSubstr("Left"), HasSubstr("Width"), HasSubstr("Top")));
  }
}

TEST_F(Form1Test, StartStoresTheSettingsThenHandsFreshCopiesToTheChosenExport) {
  struct Case {
    int index;
    std::string text1, text2;
  };
  const Case cases[] = {{0, "+I-V-N", "21,22"}, {1, "I (V) N", "11"}, {2, "", ""}, {3, "N", ""}};
  // The export may change its arguments, click again and ask to close: none of it reaches the window.
  std::int16_t cancel = kFalse;
  during = [&](Form1& window, std::string& participants, std::string& number_template) {
    participants = "geändert";
    number_template = "I (V) N";
    window.Command1_Click();
    window.Form_Unload(cancel);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    std::filesystem::remove(program.folder() / "system.ini");
    calls.clear();
    cancel = kFalse;
    Form1 form(ui, Recording(), program.path());
    form.Form_Load();
    ui.SelectOption(c.index);
    ui.SetText(TextBox::Text1, c.text1);
    ui.SetText(TextBox::Text2, c.text2);
    form.Command1_Click();

    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].index, c.index);
    EXPECT_EQ(calls[0].number_template, c.text1);
    EXPECT_EQ(calls[0].participants, c.text2);
    EXPECT_EQ(calls[0].busy, kTrue);
    EXPECT_EQ(calls[0].settings_then, "[Fernkartei]\r\nOutput=" + c.text1 + "\r\nTeilnehmer=" + c.text2 +
                                          "\r\nTyp=" + std::to_string(c.index) + "\r\n");
    EXPECT_EQ(program.Settings(), calls[0].settings_then);
    EXPECT_EQ(cancel, kTrue);
    EXPECT_EQ(ui.Text(TextBox::Text1), c.text1);
    EXPECT_EQ(ui.Text(TextBox::Text2), c.text2);
    EXPECT_EQ(form.Export_Busy, kFalse);
    EXPECT_FALSE(ui.ended_with.has_value());
  }
}

TEST_F(Form1Test, NoSelectedOptionStoresTheTextsButNotTheFormat) {
  program.WriteSettings("Typ=1\r\n");
  Form1 form(ui, Recording(), program.path());
  form.Form_Load();
  ui.options = {};
  ui.SetText(TextBox::Text1, "N");
  ui.SetText(TextBox::Text2, "7");
  form.Command1_Click();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(ui.messages.at(0).text, "Funktion noch nicht unterstützt");
  EXPECT_EQ(program.Settings(), "[Fernkartei]\r\nTyp=1\r\nOutput=N\r\nTeilnehmer=7\r\n");
}

TEST(RunEventHandlerTest, ReportsWhatEscapesAHandlerAndEndsWithStatusOne) {
  struct Case {
    std::function<void()> handler;
    std::string message;  // empty: nothing escaped
  };
  const Case cases[] = {
      {[] {}, ""},
      {[] { throw support::Failure(support::ErrorNumber::FileNotFound); },
       "Laufzeitfehler '53':\r\n\r\nFile not found"},
      {[] { throw support::Failure(support::ErrorNumber::UnrecognizedDatabaseFormat, "Kaputte Datei"); },
       "Laufzeitfehler '3343':\r\n\r\nKaputte Datei"},
      {[] { throw std::bad_alloc(); }, "Laufzeitfehler '7':\r\n\r\nOut of memory"},
      {[] { throw std::out_of_range("vector"); }, "Laufzeitfehler '5':\r\n\r\nvector"},
      {[] { throw 42; }, "Laufzeitfehler '5':\r\n\r\nInvalid procedure call or argument"},
  };
  for (const Case& c : cases) {
    FakeUserInterface ui;
    RunEventHandler(ui, c.handler);
    if (c.message.empty()) {
      EXPECT_TRUE(ui.calls.empty());
    } else {
      EXPECT_EQ(ui.messages.at(0).text, c.message);
      EXPECT_THAT(ui.calls, ElementsAre("MsgBox", "EndProcess 1"));
    }
  }
}

TEST(Form1SurroundingsTest, AnExportRunReachesTheBarMessagesAndPointerThroughTheWindow) {
  FakeUserInterface ui;
  Form1 form(ui, {}, "");
  ui.progress[static_cast<std::size_t>(ProgressProperty::Max)] = 40;
  form.SetProgressValue(17);
  EXPECT_EQ(ui.Progress(ProgressProperty::Value), 17);
  EXPECT_EQ(form.ProgressValue(), 17);
  EXPECT_EQ(form.ProgressMax(), 40);
  form.ShowMessage("Bitte einen Kontakte-Ordner auswählen", exporting::MessageIcon::Stop);
  EXPECT_EQ(ui.messages.at(0).icon, exporting::MessageIcon::Stop);

  ui.pointer = 3;
  {
    support::clsWaitCursor outer(form);
    outer.Show();
    support::clsWaitCursor inner(form);
    inner.Show();
    EXPECT_EQ(ui.pointer, support::kHourglassPointer);
  }
  EXPECT_EQ(ui.pointer, 3);
}

}  // namespace
}  // namespace fernkartei::app
