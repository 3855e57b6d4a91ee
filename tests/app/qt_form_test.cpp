// The Qt window on the offscreen platform: what Qt makes of Form1 (its controls where the layout puts
// them, captions whole at each resolution, the tab order, the option group, single-line text boxes, the
// bar and the pointer) and the events it hands to the handlers.

#include "app/qt_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/form1_layout.h"
#include "fixtures/program_folder.h"

namespace fernkartei::app {
namespace {

template <typename T = QWidget>
T* Control(QtForm& window, std::string_view name) {
  T* control = window.findChild<T*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  EXPECT_NE(control, nullptr) << name;
  return control;
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
    };
    options.end_process = [this](int status) { ends.push_back(status); };
    options.folder_picker = [] { return std::optional<std::string>("karten"); };
    options.program_folder = program.path().string();
    return options;
  }

  testing::ProgramFolder program;
  std::vector<std::string> messages;
  std::vector<int> ends;
};

TEST_F(QtFormTest, EveryControlSitsWhereTheLayoutPutsItWithItsCaptionWhole) {
  // Fonts and style metrics follow the offscreen screen's 96 dpi: lower resolutions would squeeze the
  // geometry only and are no real screen.
  for (const float dpi : {96.0F, 144.0F}) {
    SCOPED_TRACE(dpi);
    QtForm window(Options(dpi));
    EXPECT_EQ(window.size(),
              QSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)));
    EXPECT_TRUE(window.OptionValue(0));
    for (const ControlLayout& control : kForm1Controls) {
      SCOPED_TRACE(control.object_name);
      QWidget* widget = Control(window, control.object_name);
      if (widget == nullptr || control.kind == ControlKind::ProgressBar) continue;
      const QString caption =
          QString::fromUtf8(control.caption.data(), static_cast<qsizetype>(control.caption.size()));
      EXPECT_EQ(widget->x(), TwipsToPixels(static_cast<float>(control.left), dpi));
      EXPECT_EQ(widget->property("text").toString(), caption);
      if (control.kind == ControlKind::TextBox) continue;
      // Inside its control and inside the window at its first size; option buttons as tall as they need,
      // up to the distance between two of them.
      const bool option = control.kind == ControlKind::OptionButton;
      const int needed =
          option ? widget->sizeHint().width() : QFontMetrics(widget->font()).horizontalAdvance(caption);
      EXPECT_LE(needed, std::min(widget->width(), window.width() - widget->x()));
      EXPECT_TRUE(!option || widget->height() >= std::min(widget->sizeHint().height(),
                                                          TwipsToPixels(kOptionPitchTwips, dpi)));
    }
    EXPECT_GE(window.font().pointSizeF(), 7.0);
  }
}

// The keyboard, the options, the text boxes, the bar and the pointer; then an export, which runs on this
// thread without returning to the event loop: the bar must paint itself, and a close request then is
// refused.
TEST_F(QtFormTest, TheControlsWorkAndWhileAnExportHoldsTheThreadTheBarPaintsAndClosingIsRefused) {
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  QtFormOptions options = Options();
  int paints_during = 0;
  bool closed_during = true;
  options.exports[0] = [&](Form1& form, std::string&, std::string&) {
    const int before = counter.paints;
    for (float value = 2; value <= 6; ++value) {
      form.SetProgressValue(value);
      QTest::qSleep(20);
    }
    paints_during = counter.paints - before;
    EXPECT_EQ(form.PickContactsFolder(), "karten");
    form.ShowMessage("Fertig", exporting::MessageIcon::None);
    closed_during = static_cast<QtForm&>(form.ui()).close();
  };
  QtForm window(options);
  ASSERT_TRUE(window.Load());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), "Fernkartei");
  QStringList order;
  QWidget* widget = Control(window, "Text1");
  for (int guard = 0; guard < 40 && order.size() < 7; ++guard, widget = widget->nextInFocusChain())
    if (widget->focusPolicy() & Qt::TabFocus) order << widget->objectName();
  EXPECT_EQ(order,
            QStringList({"Text1", "Command1", "Option1_0", "Option1_1", "Text2", "Option1_2", "Option1_3"}));

  for (const int index : {3, 1}) {
    window.SelectOption(index);
    for (int other = 0; other < kOptionCount; ++other) EXPECT_EQ(window.OptionValue(other), other == index);
  }

  // A paste keeps its first line and the text around it; so does text the window sets.
  auto* box = Control<QLineEdit>(window, "Text2");
  const struct {
    QString before;
    int cursor;
    QString pasted, after;
  } pastes[] = {{"", 0, "11,12\r\nDatabaseName=/tmp/x.mdb", "11,12"},
                {"1115", 2, "12,\n13", "1112,15"},
                {"11", 2, QString(QChar(0x2028)) + "12", "11"}};
  for (const auto& [before, cursor, pasted, after] : pastes) {
    box->setText(before);
    box->setCursorPosition(cursor);
    QGuiApplication::clipboard()->setText(pasted);
    box->paste();
    EXPECT_EQ(box->text(), after) << pasted.toStdString();
  }
  window.SetText(TextBox::Text1, "I V N\r\nTyp=3");
  EXPECT_EQ(window.Text(TextBox::Text1), "I V N");

  auto* bar = Control<QProgressBar>(window, "ProgressBar1");
  window.SetProgress(ProgressProperty::Value, 50.5F);
  EXPECT_EQ(bar->value(), 500);
  window.resize(600, 300);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.size() == QSize(600, 300); }));
  EXPECT_EQ(bar->geometry(), QRect(0, 283, 600, 17));

  for (int twice = 0; twice < 2; ++twice) window.SetMousePointer(11);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  for (int twice = 0; twice < 2; ++twice) window.SetMousePointer(0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  window.SelectOption(0);
  bar->installEventFilter(&counter);
  Control<QPushButton>(window, "Command1")->click();
  EXPECT_GE(paints_during, 4);
  EXPECT_FALSE(closed_during);
  EXPECT_EQ(messages, std::vector<std::string>{"Fertig"});
  EXPECT_TRUE(ends.empty());
  EXPECT_TRUE(window.close());
  EXPECT_TRUE(window.Ended());
  EXPECT_EQ(ends, std::vector<int>{0});
}

}  // namespace
}  // namespace fernkartei::app

// One QApplication that outlives every test and goes before the process's static objects do; Qt's test
// helpers keep devices of their own that must not outlive it.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // No screen needed, also when the tests are only listed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
