// The real window on Qt's offscreen platform: its controls, their layout at every resolution, the bar,
// the pointer, closing, and one export from the "Start" button to the file.

#include "app/qt_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/form1_layout.h"
#include "contacts/contact_sources.h"
#include "fixtures/program_folder.h"

namespace fernkartei::app {
namespace {

template <typename T = QWidget>
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

// A window that confirms its message boxes itself and only records that it would have ended.
class QtFormTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::MakeAreaCodeDatabase(program, {"30"}); }
  QtFormOptions Options(float dpi = 96) {
    QtFormOptions options;
    options.auto_confirm = true;
    options.dots_per_inch = dpi;
    options.message_observer = [this](const std::string& text, exporting::MessageIcon) {
      messages.push_back(text);
      if (on_message) on_message();
    };
    options.end_process = [this](int status) { ends.push_back(status); };
    options.folder_picker = [this] { return picked; };
    options.program_folder = program.path().string();
    options.exports = ExportProceduresOver(contacts::MakeContactSourceFactory(options.program_folder));
    return options;
  }

  testing::ProgramFolder program;
  std::vector<std::string> messages;
  std::vector<int> ends;
  std::function<void()> on_message;
  std::optional<std::string> picked;
};

TEST_F(QtFormTest, StartsShowingEveryControlWhereItBelongs) {
  QtForm window(Options());
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), "Fernkartei");
  EXPECT_EQ(window.size(), QSize(385, 147));
  EXPECT_EQ(CheckedOption(window), 0);
  EXPECT_EQ(Control<QLineEdit>(window, "Text1")->text(), "I (V) N");
  EXPECT_EQ(Control<QLineEdit>(window, "Text2")->text(), "11,12,15");
  for (const ControlLayout& control : kForm1Controls) {
    QWidget* widget = Control(window, control.object_name.data());
    const QString caption =
        QString::fromUtf8(control.caption.data(), static_cast<qsizetype>(control.caption.size()));
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      EXPECT_EQ(label->text(), caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), caption);
    }
    if (control.kind != ControlKind::ProgressBar) {
      EXPECT_EQ(widget->x(), TwipsToPixels(static_cast<float>(control.left), 96)) << control.object_name;
    }
  }
  // Laid along the bottom by the first resize, and resized with the window.
  for (const QSize& size : {QSize(385, 147), QSize(600, 300), QSize(200, 10)}) {
    window.resize(size);
    QTRY_COMPARE(window.size(), size);
    EXPECT_EQ(window.Progress(ProgressProperty::Top), size.height() * 15.0F - 255);
    EXPECT_EQ(window.Progress(ProgressProperty::Width), size.width() * 15.0F);
    EXPECT_EQ(Control<QProgressBar>(window, "ProgressBar1")->geometry(),
              QRect(0, size.height() - 17, size.width(), 17));
  }
}

TEST_F(QtFormTest, NoCaptionIsCutOffAtAnyResolution) {
  // The layout follows the resolution given; fonts and style metrics follow the offscreen screen's 96 dpi,
  // so resolutions below it would squeeze the geometry only and are no real screen.
  for (float dpi : {96.0F, 120.0F, 144.0F, 192.0F}) {
    SCOPED_TRACE(dpi);
    QtForm window(Options(dpi));
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

TEST_F(QtFormTest, TabOrderOptionGroupBarAndPointer) {
  QtForm window(Options());
  QStringList order;
  QWidget* widget = Control(window, "Text1");
  for (int guard = 0; guard < 40 && order.size() < 7; ++guard) {
    if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
    widget = widget->nextInFocusChain();
  }
  EXPECT_EQ(order,
            QStringList({"Text1", "Command1", "Option1_0", "Option1_1", "Text2", "Option1_2", "Option1_3"}));

  for (int index : {3, 1, 2, 0}) {
    window.SelectOption(index);
    EXPECT_EQ(CheckedOption(window), index);
  }
  QTest::mouseClick(Control<QRadioButton>(window, "Option1_2"), Qt::LeftButton);
  EXPECT_EQ(CheckedOption(window), 2);
  window.ClearOptionSelection();
  EXPECT_EQ(CheckedOption(window), -1);

  auto* bar = Control<QProgressBar>(window, "ProgressBar1");
  window.SetProgress(ProgressProperty::Min, 1);
  for (const auto& [value, shown] :
       {std::pair{1.0F, 0}, {100.0F, 1000}, {50.5F, 500}, {0.0F, 0}, {250.0F, 1000}}) {
    window.SetProgress(ProgressProperty::Value, value);
    EXPECT_EQ(window.Progress(ProgressProperty::Value), value);
    EXPECT_EQ(bar->value(), shown) << value;
  }

  EXPECT_EQ(window.MousePointer(), 0);
  for (int twice = 0; twice < 2; ++twice) window.SetMousePointer(11);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  EXPECT_EQ(window.MousePointer(), 11);
  for (int twice = 0; twice < 2; ++twice) window.SetMousePointer(0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
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
  QtFormOptions options = Options();
  int paints_during = 0;
  options.exports[0] = [&](Form1& window, std::string&, std::string&) {
    const int before = counter.paints;
    for (float value = 2; value <= 6; ++value) {
      window.SetProgressValue(value);
      QTest::qSleep(20);
    }
    paints_during = counter.paints - before;
  };
  QtForm window(options);
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  Control<QProgressBar>(window, "ProgressBar1")->installEventFilter(&counter);
  Control<QPushButton>(window, "Command1")->click();
  EXPECT_GE(paints_during, 4);
}

TEST_F(QtFormTest, ClosingWhileIdleEndsTheProgram) {
  QtForm window(Options());
  ASSERT_TRUE(window.Load());
  window.show();
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(ends, std::vector<int>{0});
  EXPECT_EQ(phone::DB_Connection, nullptr);
}

// From "Start" to the file in the user profile, the folder picked in the dialog: the window is busy
// while the message shows, so neither another start nor closing it gets through.
TEST_F(QtFormTest, StartExportsTheSelectedFormatIntoTheProfile) {
  const std::string profile = program / "profil";
  const testing::ScopedEnvironment user_profile("USERPROFILE", profile.c_str());
  program.Write("profil/documents/outlook.csv", "alt\r\n");
  program.Write("karten/anna.vcf",
                "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Müller;Anna\r\nTEL;TYPE=WORK:030 123456\r\nEND:VCARD\r\n");
  picked = program / "karten";
  QtForm window(Options());
  std::int16_t busy_at_message = kFalse;
  bool closed_during = true;
  on_message = [&] {
    busy_at_message = window.form().Export_Busy;
    Control<QPushButton>(window, "Command1")->click();
    closed_during = window.close();
  };
  ASSERT_TRUE(window.Load());
  window.show();
  window.SelectOption(2);
  Control<QLineEdit>(window, "Text2")->setText("11");
  Control<QPushButton>(window, "Command1")->click();
  on_message = nullptr;

  EXPECT_EQ(messages, std::vector<std::string>{"Fertig, 1 Adressen exportiert in \r\n" + profile +
                                               "/documents/outlook.csv"});
  EXPECT_EQ(busy_at_message, kTrue);
  EXPECT_FALSE(closed_during);
  EXPECT_EQ(program.Read("profil/documents/outlook.csv"),
            "displayName;destination\r\nMüller, Anna (BT);+49 (30) 123456\r\n");
  EXPECT_EQ(program.Settings(),
            "[Fernkartei]\r\nOutput=I (V) N\r\nTeilnehmer=11\r\nTyp=2\r\nOutlookFolder=" + *picked + "\r\n");
  EXPECT_EQ(window.form().Export_Busy, kFalse);
  EXPECT_EQ(window.Progress(ProgressProperty::Value), 1);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(ends.empty());
}

}  // namespace
}  // namespace fernkartei::app
