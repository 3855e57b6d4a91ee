#include "app/vcard_location_dialog.h"

#include <QDir>
#include <QFileInfo>

namespace fernkartei::app {

VCardLocationDialog::VCardLocationDialog(QWidget* parent)
    : QFileDialog(parent, QStringLiteral("Kontakte-Ordner auswählen")) {
  // Qt's own dialog: a native one would not let accept() below decide that a folder is a choice.
  setOption(QFileDialog::DontUseNativeDialog, true);
  setFileMode(QFileDialog::AnyFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters({QStringLiteral("vCards (*.vcf *.vcard)"), QStringLiteral("Alle Dateien (*)")});
  setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
  setLabelText(QFileDialog::FileName, QStringLiteral("Ordner oder vCard-Datei:"));
  setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
  setLabelText(QFileDialog::Accept, QStringLiteral("Auswählen"));
  setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
  setDirectory(QDir::home());
}

void VCardLocationDialog::accept() {
  const QStringList selected = selectedFiles();
  const QString path = selected.isEmpty() ? directory().absolutePath() : selected.first();
  const QFileInfo info(path);
  if (!info.exists()) return;
  chosen_ = info.absoluteFilePath();
  QDialog::accept();
}

}  // namespace fernkartei::app
