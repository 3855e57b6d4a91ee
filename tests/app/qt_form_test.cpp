#include "app/qt_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/form1_layout.h"
#include "app_fixture.h"
#include "contacts/contact_sources.h"
#include "qt_application.h"

namespace fernkartei::app {
namespace {

using ::testing::HasSubstr;
using testing::ProgramFolderFixture;
using ::testing::StartsWith;

// A window that confirms its message boxes itself and only records that it would have ended.
struct Harness {
  std::string program_folder;
  std::vector<std::string> messages;
  std::vector<int> ends;
  std::function<void(const std::string&)> on_message;

  QtFormOptions Options(float dpi = 96) {
    QtFormOptions options;
    options.auto_confirm = true;
    options.dots_per_inch = dpi;
    options.message_observer = [this](const std::string& text, exporting::MessageIcon) {
      messages.push_back(text);
      if (on_message) on_message(text);
    };
    options.end_process = [this](int status) { ends.push_back(status); };
    options.folder_picker = [] { return std::optional<std::string>(); };
    options.program_folder = program_folder;
    options.exports = ExportProceduresOver(contacts::MakeContactSourceFactory(program_folder));
    return options;
  }
};

template <typename T>
T* Control(QtForm& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

int CheckedOption(QtForm& window) {
  int checked = -1;
  for (int index = 0; index < kOptionCount; ++index) {
    if (window.OptionValue(index)) {
      EXPECT_EQ(checked, -1) << "two options selected";
      checked = index;
    }
  }
  return checked;
}

class QtFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::TestApplication();
    harness.program_folder = program.path();
  }
  ProgramFolderFixture program;
  Harness harness;
};

TEST_F(QtFormTest, StartsWithoutSettingsShowingEveryControlWhereItBelongs) {
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  EXPECT_EQ(window.windowTitle(), "Fernkartei");
  EXPECT_EQ(window.width(), 385);
  EXPECT_EQ(window.height(), 147);
  EXPECT_EQ(CheckedOption(window), 0);
  EXPECT_EQ(Control<QLineEdit>(window, "Text1")->text(), "I (V) N");
  EXPECT_EQ(Control<QLineEdit>(window, "Text2")->text(), "11,12,15");
  for (const ControlLayout& control : kForm1Controls) {
    QWidget* widget = Control<QWidget>(window, control.object_name.data());
    const QString caption =
        QString::fromUtf8(control.caption.data(), static_cast<qsizetype>(control.caption.size()));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(label->text(), caption);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), caption);
    }
    if (control.kind != ControlKind::ProgressBar) {
      EXPECT_EQ(widget->x(), TwipsToPixels(static_cast<float>(control.left), 96)) << control.object_name;
    }
  }

  const std::pair<ProgressProperty, float> expected[] = {
      {ProgressProperty::Min, 1},     {ProgressProperty::Max, 100},  {ProgressProperty::Value, 1},
      {ProgressProperty::Left, 0},    {ProgressProperty::Top, 1950}, {ProgressProperty::Width, 5775},
      {ProgressProperty::Height, 255}};
  for (const auto& [property, value] : expected) EXPECT_EQ(window.Progress(property), value);
  EXPECT_EQ(Control<QProgressBar>(window, "ProgressBar1")->geometry(), QRect(0, 130, 385, 17));
  EXPECT_NE(phone::DB_Connection, nullptr);
  EXPECT_TRUE(phone::Area_Table_Exists);
  EXPECT_FALSE(std::filesystem::exists(program.folder() / "system.ini"));
}

TEST_F(QtFormTest, TypPicksTheOptionOnStartUp) {
  const std::pair<std::string, int> cases[] = {{"2", 2},  {"3", 3},   {"4", 0}, {"x", 0},
                                               {"00", 0}, {" 2 ", 2}, {"1", 1}, {"0", 0}};
  for (const auto& [typ, selected] : cases) {
    SCOPED_TRACE("Typ=" + typ);
    testing::ClearProcessState();
    program.WriteSettings("Typ=" + typ + "\r\n");
    QtForm window(harness.Options());
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(CheckedOption(window), selected);
  }
}

TEST_F(QtFormTest, ResizingKeepsTheBarAlongTheBottom) {
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QSize sizes[] = {{600, 300}, {385, 147}, {200, 10}, {1000, 700}};
  for (const QSize& size : sizes) {
    window.resize(size);
    QTRY_COMPARE(window.size(), size);
    EXPECT_EQ(window.Progress(ProgressProperty::Left), 0);
    EXPECT_EQ(window.Progress(ProgressProperty::Width), size.width() * 15.0F);
    EXPECT_EQ(window.Progress(ProgressProperty::Top), size.height() * 15.0F - 255);
    EXPECT_EQ(window.Progress(ProgressProperty::Height), 255);
    EXPECT_EQ(Control<QProgressBar>(window, "ProgressBar1")->geometry(),
              QRect(0, size.height() - 17, size.width(), 17));
  }
}

TEST_F(QtFormTest, NoCaptionIsCutOffAtAnyResolution) {
  // The layout follows the resolution given; fonts and style metrics follow the offscreen screen's 96 dpi,
  // so resolutions below it would squeeze the geometry only and are no real screen.
  for (float dpi : {96.0F, 120.0F, 144.0F, 192.0F}) {
    SCOPED_TRACE(dpi);
    QtForm window(harness.Options(dpi));
    EXPECT_EQ(window.width(), TwipsToPixels(kClientWidthTwips, dpi));
    for (QWidget* widget : window.findChildren<QWidget*>()) {
      const QFontMetrics metrics(widget->font());
      // Inside its control and inside the window at its first size.
      const int room = std::min(widget->width(), window.width() - widget->x());
      if (auto* label = qobject_cast<QLabel*>(widget)) {
        EXPECT_LE(metrics.horizontalAdvance(label->text()), room) << label->text().toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->text().toStdString();
      } else if (auto* option = qobject_cast<QRadioButton*>(widget)) {
        EXPECT_LE(option->sizeHint().width(), room) << option->text().toStdString();
        EXPECT_GE(option->height(),
                  std::min(option->sizeHint().height(), TwipsToPixels(kOptionPitchTwips, dpi)));
      } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        EXPECT_LT(metrics.horizontalAdvance(button->text()), room);
      }
    }
    EXPECT_GE(window.font().pointSizeF(), 7.0);
  }
}

TEST_F(QtFormTest, TabGoesThroughTheControlsInTheirOrder) {
  QtForm window(harness.Options());
  QStringList order;
  QWidget* widget = Control<QWidget>(window, "Text1");
  for (int guard = 0; guard < 40 && order.size() < 7; ++guard) {
    if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(order,
            QStringList({"Text1", "Command1", "Option1_0", "Option1_1", "Text2", "Option1_2", "Option1_3"}));
}

TEST_F(QtFormTest, OptionsFormOneExclusiveGroupByIndex) {
  QtForm window(harness.Options());
  for (int index : {3, 1, 2, 0}) {
    window.SelectOption(index);
    EXPECT_EQ(CheckedOption(window), index);
  }
  QTest::mouseClick(Control<QRadioButton>(window, "Option1_2"), Qt::LeftButton);
  EXPECT_EQ(CheckedOption(window), 2);
  window.ClearOptionSelection();
  EXPECT_EQ(CheckedOption(window), -1);
}

TEST_F(QtFormTest, ProgressValueShowsWithinItsRange) {
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  auto* bar = Control<QProgressBar>(window, "ProgressBar1");
  struct Case {
    float value;
    int shown;
  };
  for (const Case& c : {Case{1, 0}, Case{100, 1000}, Case{50.5F, 500}, Case{0, 0}, Case{250, 1000}}) {
    window.SetProgress(ProgressProperty::Value, c.value);
    EXPECT_EQ(window.Progress(ProgressProperty::Value), c.value);
    EXPECT_EQ(bar->value(), c.shown) << c.value;
  }
}

// The export runs on this thread without returning to the event loop, so the bar must paint itself.
TEST_F(QtFormTest, TheBarPaintsWhileAnExportHoldsTheThread) {
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  QtFormOptions options = harness.Options();
  int paints_during = 0;
  ExportProcedures procedures;
  procedures[0] = [&](Form1& window, std::string&, std::string&) {
    const int before = counter.paints;
    for (float value = 2; value <= 6; ++value) {
      window.SetProgressValue(value);
      QTest::qSleep(20);
    }
    paints_during = counter.paints - before;
  };
  options.exports = procedures;
  QtForm window(options);
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Control<QProgressBar>(window, "ProgressBar1")->installEventFilter(&counter);
  Control<QPushButton>(window, "Command1")->click();
  EXPECT_GE(paints_during, 4);
}

TEST_F(QtFormTest, TheScreenPointerIsTheOverrideCursor) {
  QtForm window(harness.Options());
  EXPECT_EQ(window.MousePointer(), 0);
  window.SetMousePointer(11);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(window.MousePointer(), 11);
  window.SetMousePointer(11);
  window.SetMousePointer(0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  window.SetMousePointer(0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtFormTest, ClosingWhileIdleEndsTheProgram) {
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(harness.ends, std::vector<int>{0});
  EXPECT_EQ(phone::DB_Connection, nullptr);
}

TEST_F(QtFormTest, StartWithNoOptionSelectedOnlyStoresTheTexts) {
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  window.ClearOptionSelection();
  Control<QLineEdit>(window, "Text1")->setText("");
  Control<QLineEdit>(window, "Text2")->setText("");
  Control<QPushButton>(window, "Command1")->click();
  EXPECT_EQ(harness.messages, std::vector<std::string>{"Funktion noch nicht unterstützt"});
  EXPECT_EQ(program.Settings(), "[Fernkartei]\r\nOutput=\r\nTeilnehmer=\r\n");
}

// The real exports into a temporary user profile, reading vCards named in the settings.
class QtFormExportTest : public QtFormTest {
 protected:
  void SetUp() override {
    QtFormTest::SetUp();
    const char* old = std::getenv("USERPROFILE");
    if (old != nullptr) saved_profile_ = old;
    std::filesystem::create_directories(profile_.path() / "documents");
    setenv("USERPROFILE", profile_.path().c_str(), 1);
    std::filesystem::create_directories(program.folder().path() / "karten");
    program.folder().Write("karten/anna.vcf",
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Anna;;;\r\nFN:Anna Müller\r\n"
                           "TEL;TYPE=WORK:06221 123456\r\nEND:VCARD\r\n");
    program.folder().Write("karten/bernd.vcf",
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Abel;Bernd;;;\r\nFN:Bernd Abel\r\n"
                           "TEL;TYPE=CELL:0171 1234567\r\nEND:VCARD\r\n");
  }
  void TearDown() override {
    if (saved_profile_) {
      setenv("USERPROFILE", saved_profile_->c_str(), 1);
    } else {
      unsetenv("USERPROFILE");
    }
  }
  std::string Output(const std::string& file) const { return profile_.Read("documents/" + file); }

  testing::TempFolder profile_;
  std::optional<std::string> saved_profile_;
};

TEST_F(QtFormExportTest, StartRunsTheSelectedFormatIntoTheProfile) {
  struct Case {
    int index;
    std::string file;
    std::string header;
  };
  const Case cases[] = {
      {0, "nfon.csv", "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider\r\n"},
      {1, "siemens.csv", "displayName;destination;visibleFor\r\n"},
      {2, "outlook.csv", "displayName;destination\r\n"},
      {3, "simple.csv", "displayName;destination\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    testing::ClearProcessState();
    program.WriteSettings("Outlook-Ordner=" + (program.folder() / "karten") + "\r\n");
    harness.messages.clear();
    std::int16_t busy_at_message = kFalse;
    bool closed_during = true;
    QtForm* shown = nullptr;
    harness.on_message = [&](const std::string&) {
      busy_at_message = shown->form().Export_Busy;
      shown->findChild<QPushButton*>("Command1")->click();
      closed_during = shown->close();
    };
    QtForm window(harness.Options());
    shown = &window;
    ASSERT_TRUE(window.Load());
    window.show();
    window.SelectOption(c.index);
    Control<QLineEdit>(window, "Text2")->setText("11");
    Control<QPushButton>(window, "Command1")->click();

    ASSERT_EQ(harness.messages.size(), 1U) << (harness.messages.empty() ? "" : harness.messages[0]);
    EXPECT_THAT(harness.messages[0], StartsWith("Fertig, 2 Adressen exportiert in \r\n"));
    EXPECT_THAT(harness.messages[0], HasSubstr(c.file));
    EXPECT_EQ(busy_at_message, kTrue);
    EXPECT_FALSE(closed_during);
    EXPECT_THAT(Output(c.file), StartsWith(c.header));
    EXPECT_THAT(Output(c.file), HasSubstr("Abel"));
    EXPECT_EQ(program.Settings(),
              "[Fernkartei]\r\nOutlook-Ordner=" + (program.folder() / "karten") +
                  "\r\nOutput=I (V) N\r\nTeilnehmer=11\r\nTyp=" + std::to_string(c.index) + "\r\n");
    EXPECT_EQ(window.form().Export_Busy, kFalse);
    EXPECT_EQ(window.Progress(ProgressProperty::Value), 1);
    EXPECT_EQ(window.MousePointer(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    harness.on_message = nullptr;
  }
}

TEST_F(QtFormExportTest, WithoutAConfiguredFolderTheDialogChooses) {
  struct Case {
    std::optional<std::string> picked;
    std::string message;
    bool written;
  };
  const Case cases[] = {
      {program.folder() / "karten", "Fertig, 2 Adressen exportiert in \r\n", true},
      {program.folder() / "karten/anna.vcf", "Fertig, 1 Adressen exportiert in \r\n", true},
      {std::nullopt, "Es ist ein Fehler beim öffnene von Outlook aufgetreten", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    testing::ClearProcessState();
    std::filesystem::remove(program.folder() / "system.ini");
    std::filesystem::remove(profile_.path() / "documents" / "outlook.csv");
    harness.messages.clear();
    QtFormOptions options = harness.Options();
    options.folder_picker = [&c] { return c.picked; };
    QtForm window(options);
    ASSERT_TRUE(window.Load());
    window.SelectOption(2);
    Control<QPushButton>(window, "Command1")->click();
    ASSERT_EQ(harness.messages.size(), 1U);
    EXPECT_THAT(harness.messages[0], StartsWith(c.message));
    EXPECT_EQ(std::filesystem::exists(profile_.path() / "documents" / "outlook.csv"), c.written);
    EXPECT_EQ(program.Settings().find("OutlookFolder=") != std::string::npos, c.written);
  }
}

TEST_F(QtFormExportTest, EmptyParticipantsAreRefusedByTheFormatsThatNeedThem) {
  program.WriteSettings("Outlook-Ordner=" + (program.folder() / "karten") + "\r\n");
  QtForm window(harness.Options());
  ASSERT_TRUE(window.Load());
  Control<QLineEdit>(window, "Text2")->setText("");
  Control<QPushButton>(window, "Command1")->click();
  EXPECT_EQ(harness.messages, std::vector<std::string>{"Fehler, keine Teilnehmer angegeben"});
  EXPECT_FALSE(std::filesystem::exists(profile_.path() / "documents" / "nfon.csv"));
  EXPECT_THAT(program.Settings(), HasSubstr("Teilnehmer=\r\nTyp=0\r\n"));
}

}  // namespace
}  // namespace fernkartei::app
