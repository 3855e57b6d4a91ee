// The window's text boxes hold one line, as single-line boxes of Windows do.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "app/qt_form.h"
#include "app_fixture.h"

namespace fernkartei::app {
namespace {

TEST(SingleLineBoxes, APasteKeepsItsFirstLineAndTheTextAroundIt) {
  testing::ProgramFolderFixture program;
  QtFormOptions options;
  options.auto_confirm = true;
  options.program_folder = program.path();
  options.end_process = [](int) {};
  QtForm window(options);
  ASSERT_TRUE(window.Load());
  auto* box = window.findChild<QLineEdit*>("Text2");
  struct Case {
    QString before;
    int cursor;
    QString pasted;
    QString after;
  };
  const Case cases[] = {
      {"", 0, "11,12\r\nDatabaseName=/tmp/x.mdb", "11,12"},
      {"1115", 2, "12,\n13", "1112,15"},
      {"11", 2, QString(QChar(0x2028)) + "12", "11"},
  };
  for (const auto& c : cases) {
    box->setText(c.before);
    box->setCursorPosition(c.cursor);
    QGuiApplication::clipboard()->setText(c.pasted);
    box->paste();
    EXPECT_EQ(box->text(), c.after) << c.pasted.toStdString();
  }
  window.SetText(TextBox::Text1, "I V N\r\nTyp=3");
  EXPECT_EQ(window.Text(TextBox::Text1), "I V N");
}

}  // namespace
}  // namespace fernkartei::app
