#include "app/vcard_location_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "fixtures/temp_folder.h"

namespace fernkartei::app {
namespace {

TEST(VCardLocationDialogTest, TakesAVCardFileOrTheFolderShownButNoInventedName) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder.path() / "Kontakte");
  folder.Write("Kontakte/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n");
  const QString base = QFileInfo(QString::fromStdString(folder.path().string())).canonicalFilePath();
  struct Case {
    QString select;
    bool folder_button;
    QString chosen;     // empty: the dialog stays open
    QString directory;  // what it then shows
  };
  const Case cases[] = {
      {base + "/Kontakte/a.vcf", false, base + "/Kontakte/a.vcf", base + "/Kontakte"},
      {base + "/Kontakte", false, "", base + "/Kontakte"},  // a folder is entered, not taken
      {base + "/Kontakte/erfunden.vcf", false, "", base + "/Kontakte"},
      {base + "/Kontakte/erfunden.vcf", true, base + "/Kontakte", base + "/Kontakte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.select.toStdString());
    VCardLocationDialog dialog;
    dialog.setDirectory(base);
    dialog.selectFile(c.select);
    if (c.folder_button) {
      ASSERT_NE(dialog.ChooseFolderButton(), nullptr);
      dialog.ChooseFolderButton()->click();
    } else {
      dialog.accept();
    }
    EXPECT_EQ(dialog.Chosen(), c.chosen);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, !c.chosen.isEmpty());
    EXPECT_EQ(QFileInfo(dialog.directory().absolutePath()).canonicalFilePath(), c.directory);
  }
  VCardLocationDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Kontakte-Ordner auswählen");
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject), "Abbrechen");
}

}  // namespace
}  // namespace fernkartei::app
