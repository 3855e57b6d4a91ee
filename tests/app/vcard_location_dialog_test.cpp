#include "app/vcard_location_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "qt_application.h"
#include "support/temp_folder.h"

namespace fernkartei::app {
namespace {

TEST(VCardLocationDialogTest, AcceptsAFolderOrAnExistingFileButNoInventedName) {
  fernkartei::testing::TestApplication();
  testing::TempFolder folder;
  std::filesystem::create_directories(folder.path() / "Kontakte");
  const std::string card =
      folder.Write("Kontakte/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n");
  const QString base = QString::fromStdString(folder.path().string());
  struct Case {
    QString select;
    QString chosen;  // empty: the dialog stays open
  };
  const Case cases[] = {
      {base + "/Kontakte/a.vcf", QFileInfo(QString::fromStdString(card)).absoluteFilePath()},
      {base + "/Kontakte", base + "/Kontakte"},
      {base + "/Kontakte/erfunden.vcf", QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.select.toStdString());
    VCardLocationDialog dialog;
    dialog.setDirectory(base);
    dialog.selectFile(c.select);
    dialog.accept();
    EXPECT_EQ(dialog.Chosen(), c.chosen);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, !c.chosen.isEmpty());
  }
  VCardLocationDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Kontakte-Ordner auswählen");
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject), "Abbrechen");
}

}  // namespace
}  // namespace fernkartei::app
