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

struct ExportCall {
  int index;
  std::string participants;
  std::string number_template;
  std::int16_t busy;
  std::string settings_then;
};

// Export procedures that record how they were called and may then do more to the window.
struct RecordingExports {
  std::vector<ExportCall> calls;
  std::function<void(Form1&, std::string&, std::string&)> during;
  const ProgramFolderFixture* program = nullptr;

  ExportProcedures Procedures() {
    ExportProcedures procedures;
    for (int index = 0; index < kOptionCount; ++index) {
      procedures[static_cast<std::size_t>(index)] = [this, index](Form1& window, std::string& participants,
                                                                  std::string& number_template) {
        calls.push_back({index, participants, number_template, window.Export_Busy, program->Settings()});
        if (during) during(window, participants, number_template);
      };
    }
    return procedures;
  }
};

class Form1Test : public ::testing::Test {
 protected:
  ProgramFolderFixture program;
  FakeUserInterface ui;
  RecordingExports exports{{}, {}, &program};
};

TEST_F(Form1Test, StartUpWithoutSettingsFollowsTheFixedOrderAndWritesNothing) {
  Form1 form(ui, exports.Procedures());
  form.Form_Load();

  EXPECT_EQ(support::App_Title, "Fernkartei");
  EXPECT_THAT(ui.calls,
              ElementsAre("AnotherInstanceRunning", "SetProgress Min 1.000000", "SetProgress Max 100.000000",
                          "SetProgress Value 1.000000", "SetCaption Fernkartei", "SelectOption 0",
                          "SetText1 I (V) N", "SetText2 11,12,15"));
  EXPECT_EQ(support::INI_Path, program.folder() / "system.ini");
  EXPECT_NE(phone::DB_Connection, nullptr);
  EXPECT_TRUE(phone::Area_Table_Exists);
  EXPECT_FALSE(ui.ended_with.has_value());
  EXPECT_FALSE(std::filesystem::exists(program.folder() / "system.ini"));
  EXPECT_EQ(form.Export_Busy, kFalse);
}

TEST_F(Form1Test, TypSelectsAnOptionOnlyOnAnExactDigit) {
  struct Case {
    std::string stored;
    int selected;
  };
  // Blanks and one pair of quotes around a value are the settings file's, not part of the value.
  const std::vector<Case> cases = {{"0", 0},     {"1", 1},  {"2", 2},      {"3", 3},   {" 2 ", 2},
                                   {"\"3\"", 3}, {"4", 0},  {"x", 0},      {"00", 0},  {"-1", 0},
                                   {"", 0},      {"2x", 0}, {"\"2 \"", 2}, {"1.0", 0}, {"３", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("Typ=" + c.stored);
    testing::ClearProcessState();
    program.WriteSettings("Typ=" + c.stored + "\r\n");
    FakeUserInterface fresh;
    Form1 form(fresh, exports.Procedures());
    form.Form_Load();
    for (int index = 0; index < kOptionCount; ++index) {
      EXPECT_EQ(fresh.OptionValue(index), index == c.selected) << "option " << index;
    }
  }
}

TEST_F(Form1Test, TextBoxesComeFromTheSettingsAndEmptyValuesFallBackToDefaults) {
  struct Case {
    std::string settings;
    std::string text1, text2;
  };
  const std::vector<Case> cases = {
      {"Output=V-N\r\nTeilnehmer=7\r\n", "V-N", "7"},
      {"Output=\r\nTeilnehmer=\r\n", "I (V) N", "11,12,15"},
      {"output=  +I V N  \r\nTEILNEHMER=\"11, 12\"\r\n", "+I V N", "11, 12"},
      // The file is in the ANSI code page; the text boxes get UTF-8.
      {"Output=M\xFCller\r\n", "Müller", "11,12,15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    testing::ClearProcessState();
    program.WriteSettings(c.settings);
    FakeUserInterface fresh;
    Form1 form(fresh, exports.Procedures());
    form.Form_Load();
    EXPECT_EQ(fresh.Text(TextBox::Text1), c.text1);
    EXPECT_EQ(fresh.Text(TextBox::Text2), c.text2);
  }
}

TEST_F(Form1Test, ASecondInstanceShowsTheWarningAndEndsBeforeTouchingAnything) {
  program.WriteSettings("Typ=3\r\nOutput=X\r\n");
  const std::string before = program.Settings();
  support::INI_Path = "unchanged";
  ui.another_instance = true;
  Form1 form(ui, exports.Procedures());
  form.Form_Load();

  EXPECT_THAT(ui.calls, ElementsAre("AnotherInstanceRunning", "MsgBox", "EndProcess 0"));
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text,
            "Achtung!\r\nEs läuft bereits eine Instanz dieser Anwendung.\r\n\r\n"
            "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!");
  EXPECT_EQ(ui.messages[0].icon, exporting::MessageIcon::None);
  EXPECT_EQ(support::INI_Path, "unchanged");
  EXPECT_EQ(phone::DB_Connection, nullptr);
  EXPECT_EQ(program.Settings(), before);
}

TEST_F(Form1Test, ADatabaseWithoutTheAreaCodeTableStillStarts) {
  testing::WriteAreaCodeDatabase(program.folder() / "leer.mdb", false);
  program.WriteSettings("DatabaseName=" + (program.folder() / "leer.mdb") + "\r\n");
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  EXPECT_NE(phone::DB_Connection, nullptr);
  EXPECT_FALSE(phone::Area_Table_Exists);
  EXPECT_FALSE(ui.ended_with.has_value());
}

TEST_F(Form1Test, AnAreaCodeFileThatCannotBeOpenedEndsTheProgramWithItsNumber) {
  const std::vector<std::string> bad_files = {
      program.folder() / "fehlt.mdb",
      program.folder().Write("kaputt.mdb", "this is neither SQLite nor Access"),
      program.folder().path().string(),
  };
  for (const std::string& path : bad_files) {
    SCOPED_TRACE(path);
    testing::ClearProcessState();
    program.WriteSettings("DatabaseName=" + path + "\r\n");
    FakeUserInterface fresh;
    Form1 form(fresh, exports.Procedures());
    RunEventHandler(fresh, [&] { form.Form_Load(); });
    ASSERT_EQ(fresh.messages.size(), 1U);
    EXPECT_THAT(fresh.messages[0].text, ::testing::StartsWith("Laufzeitfehler '"));
    EXPECT_EQ(fresh.messages[0].icon, exporting::MessageIcon::Stop);
    EXPECT_EQ(fresh.ended_with, 1);
    EXPECT_EQ(phone::DB_Connection, nullptr);
  }
}

TEST_F(Form1Test, ResizeKeepsTheBarAlongTheBottomWithoutClamping) {
  struct Case {
    float width, height, bar_height;
    float left, top, bar_width;
  };
  const std::vector<Case> cases = {
      {5775, 2205, 255, 0, 1950, 5775}, {9000, 4500, 255, 0, 4245, 9000},
      {0, 0, 255, 0, -255, 0},          {100, 200, 255, 0, -55, 100},
      {5775, 2205, 300, 0, 1905, 5775}, {4321.5F, 1000.25F, 255, 0, 745.25F, 4321.5F},
  };
  for (const Case& c : cases) {
    FakeUserInterface fresh;
    fresh.scale_width = c.width;
    fresh.scale_height = c.height;
    fresh.progress[static_cast<std::size_t>(ProgressProperty::Left)] = 120;
    fresh.progress[static_cast<std::size_t>(ProgressProperty::Height)] = c.bar_height;
    Form1 form(fresh, exports.Procedures());
    form.Form_Resize();
    EXPECT_EQ(fresh.Progress(ProgressProperty::Left), c.left);
    EXPECT_EQ(fresh.Progress(ProgressProperty::Top), c.top);
    EXPECT_EQ(fresh.Progress(ProgressProperty::Width), c.bar_width);
    EXPECT_EQ(fresh.Progress(ProgressProperty::Height), c.bar_height);
    EXPECT_THAT(fresh.calls, ElementsAre(HasSubstr("Left"), HasSubstr("Width"), HasSubstr("Top")));
  }
}

TEST_F(Form1Test, ClosingEndsWhenIdleAndIsRefusedWhileBusy) {
  struct Case {
    std::int16_t busy;
    std::int16_t cancel;
    bool ends;
  };
  // Any non-zero value counts as busy, as a 16-bit truth value always did.
  for (const Case& c : std::vector<Case>{{kFalse, kFalse, true}, {kTrue, kTrue, false}, {1, kTrue, false}}) {
    testing::ClearProcessState();
    FakeUserInterface fresh;
    Form1 form(fresh, exports.Procedures());
    form.Form_Load();
    form.Export_Busy = c.busy;
    std::int16_t cancel = kFalse;
    form.Form_Unload(cancel);
    EXPECT_EQ(cancel, c.cancel);
    EXPECT_EQ(fresh.ended_with.has_value(), c.ends);
    EXPECT_EQ(phone::DB_Connection == nullptr, c.ends);
  }
}

TEST_F(Form1Test, StartStoresTheSettingsInOrderAndRunsTheSelectedExport) {
  for (int index = 0; index < kOptionCount; ++index) {
    SCOPED_TRACE(index);
    std::filesystem::remove(program.folder() / "system.ini");
    exports.calls.clear();
    FakeUserInterface fresh;
    Form1 form(fresh, exports.Procedures());
    form.Form_Load();
    fresh.SelectOption(index);
    fresh.SetText(TextBox::Text1, "+I-V-N");
    fresh.SetText(TextBox::Text2, "21,22");
    form.Command1_Click();

    ASSERT_EQ(exports.calls.size(), 1U);
    const ExportCall& call = exports.calls[0];
    EXPECT_EQ(call.index, index);
    EXPECT_EQ(call.participants, "21,22");
    EXPECT_EQ(call.number_template, "+I-V-N");
    EXPECT_EQ(call.busy, kTrue);
    EXPECT_EQ(call.settings_then,
              "[Fernkartei]\r\nOutput=+I-V-N\r\nTeilnehmer=21,22\r\nTyp=" + std::to_string(index) + "\r\n");
    EXPECT_EQ(form.Export_Busy, kFalse);
    EXPECT_TRUE(fresh.messages.empty());
  }
}

TEST_F(Form1Test, EmptyTextBoxesAreStoredEmptyAndHandedOverEmpty) {
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  ui.SelectOption(2);
  ui.SetText(TextBox::Text1, "");
  ui.SetText(TextBox::Text2, "");
  form.Command1_Click();
  ASSERT_EQ(exports.calls.size(), 1U);
  EXPECT_EQ(exports.calls[0].participants, "");
  EXPECT_EQ(exports.calls[0].number_template, "");
  EXPECT_EQ(program.Settings(), "[Fernkartei]\r\nOutput=\r\nTeilnehmer=\r\nTyp=2\r\n");
}

TEST_F(Form1Test, AnExportChangingItsArgumentsLeavesTheTextBoxesAlone) {
  exports.during = [](Form1&, std::string& participants, std::string& number_template) {
    participants = "geändert";
    number_template = "I (V) N";
  };
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  ui.SetText(TextBox::Text1, "");
  ui.SetText(TextBox::Text2, "5");
  form.Command1_Click();
  EXPECT_EQ(ui.Text(TextBox::Text1), "");
  EXPECT_EQ(ui.Text(TextBox::Text2), "5");
}

TEST_F(Form1Test, StartWhileBusyChangesNothing) {
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  program.WriteSettings("Typ=3\r\n");
  const std::string before = program.Settings();
  form.Export_Busy = kTrue;
  form.Command1_Click();
  EXPECT_TRUE(exports.calls.empty());
  EXPECT_EQ(program.Settings(), before);
  EXPECT_EQ(form.Export_Busy, kTrue);
}

TEST_F(Form1Test, ASecondClickAndACloseDuringTheExportAreTurnedAway) {
  std::int16_t cancel_seen = kFalse;
  std::string settings_during;
  exports.during = [&](Form1& window, std::string&, std::string&) {
    window.ui().SetText(TextBox::Text1, "während");
    window.Command1_Click();
    std::int16_t cancel = kFalse;
    window.Form_Unload(cancel);
    cancel_seen = cancel;
    settings_during = program.Settings();
  };
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  ui.SelectOption(1);
  form.Command1_Click();
  EXPECT_EQ(exports.calls.size(), 1U);
  EXPECT_EQ(cancel_seen, kTrue);
  EXPECT_THAT(settings_during, HasSubstr("Output=I (V) N\r\n"));
  EXPECT_FALSE(ui.ended_with.has_value());
  EXPECT_NE(phone::DB_Connection, nullptr);
  EXPECT_EQ(form.Export_Busy, kFalse);
}

TEST_F(Form1Test, NoSelectedOptionStoresTheTextsButNotTheFormat) {
  program.WriteSettings("Typ=1\r\n");
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  ui.options = {};
  ui.SetText(TextBox::Text1, "N");
  form.Command1_Click();
  EXPECT_TRUE(exports.calls.empty());
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text, "Funktion noch nicht unterstützt");
  EXPECT_EQ(ui.messages[0].icon, exporting::MessageIcon::None);
  EXPECT_EQ(program.Settings(), "[Fernkartei]\r\nTyp=1\r\nOutput=N\r\nTeilnehmer=11,12,15\r\n");
  EXPECT_EQ(form.Export_Busy, kFalse);
}

TEST_F(Form1Test, AFailureOutOfTheExportEndsTheProgramAfterTheSettingsWereStored) {
  exports.during = [](Form1&, std::string&, std::string&) {
    throw support::Failure(support::ErrorNumber::PermissionDenied);
  };
  Form1 form(ui, exports.Procedures());
  form.Form_Load();
  ui.SelectOption(3);
  RunEventHandler(ui, [&] { form.Command1_Click(); });
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text, "Laufzeitfehler '70':\r\n\r\nPermission denied");
  EXPECT_EQ(ui.ended_with, 1);
  EXPECT_THAT(program.Settings(), HasSubstr("Typ=3\r\n"));
}

TEST(RunEventHandlerTest, ReportsWhatEscapesAHandlerAndEndsWithStatusOne) {
  struct Case {
    std::string name;
    std::function<void()> handler;
    std::optional<std::string> message;
  };
  const std::vector<Case> cases = {
      {"nothing", [] {}, std::nullopt},
      {"failure", [] { throw support::Failure(support::ErrorNumber::FileNotFound); },
       "Laufzeitfehler '53':\r\n\r\nFile not found"},
      {"own description",
       [] { throw support::Failure(support::ErrorNumber::UnrecognizedDatabaseFormat, "Kaputte Datei"); },
       "Laufzeitfehler '3343':\r\n\r\nKaputte Datei"},
      {"memory", [] { throw std::bad_alloc(); }, "Laufzeitfehler '7':\r\n\r\nOut of memory"},
      {"library", [] { throw std::out_of_range("vector"); }, "Laufzeitfehler '5':\r\n\r\nvector"},
      {"anything", [] { throw 42; }, "Laufzeitfehler '5':\r\n\r\nInvalid procedure call or argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeUserInterface ui;
    RunEventHandler(ui, c.handler);
    if (!c.message) {
      EXPECT_TRUE(ui.calls.empty());
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, *c.message);
    EXPECT_THAT(ui.calls, ElementsAre("MsgBox", "EndProcess 1"));
  }
}

TEST(Form1SurroundingsTest, AnExportRunReachesTheBarMessagesAndPointerThroughTheWindow) {
  FakeUserInterface ui;
  Form1 form(ui, {});
  ui.progress[static_cast<std::size_t>(ProgressProperty::Max)] = 40;
  form.SetProgressValue(17);
  EXPECT_EQ(form.ProgressValue(), 17);
  EXPECT_EQ(ui.Progress(ProgressProperty::Value), 17);
  EXPECT_EQ(form.ProgressMax(), 40);

  form.ShowMessage("Bitte einen Kontakte-Ordner auswählen", exporting::MessageIcon::Stop);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].icon, exporting::MessageIcon::Stop);

  ui.pointer = 3;
  {
    support::clsWaitCursor outer(form);
    outer.Show();
    EXPECT_EQ(ui.pointer, support::kHourglassPointer);
    {
      support::clsWaitCursor inner(form);
      inner.Show();
    }
    EXPECT_EQ(ui.pointer, support::kHourglassPointer);
  }
  EXPECT_EQ(ui.pointer, 3);
}

}  // namespace
}  // namespace fernkartei::app
