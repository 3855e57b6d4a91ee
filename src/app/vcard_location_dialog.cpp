#include "app/vcard_location_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

namespace fernkartei::app {

VCardLocationDialog::VCardLocationDialog(QWidget* parent)
    : QFileDialog(parent, QStringLiteral("Kontakte-Ordner auswählen")) {
  // Qt's own dialog: a native one has no room for the folder button and would not ask accept() below.
  setOption(QFileDialog::DontUseNativeDialog, true);
  setFileMode(QFileDialog::AnyFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters({QStringLiteral("vCards (*.vcf *.vcard)"), QStringLiteral("Alle Dateien (*)")});
  setLabelText(QFileDialog::LookIn, QStringLiteral("Suchen in:"));
  setLabelText(QFileDialog::FileName, QStringLiteral("vCard-Datei:"));
  setLabelText(QFileDialog::FileType, QStringLiteral("Dateityp:"));
  setLabelText(QFileDialog::Accept, QStringLiteral("Auswählen"));
  setLabelText(QFileDialog::Reject, QStringLiteral("Abbrechen"));
  setDirectory(QDir::home());
  if (auto* buttons = findChild<QDialogButtonBox*>()) {
    choose_folder_ = buttons->addButton(QStringLiteral("Diesen Ordner wählen"), QDialogButtonBox::ActionRole);
    connect(choose_folder_, &QPushButton::clicked, this, [this] {
      chosen_ = directory().absolutePath();
      QDialog::accept();
    });
  }
}

void VCardLocationDialog::accept() {
  const QStringList selected = selectedFiles();
  if (selected.isEmpty()) return;
  const QFileInfo info(selected.first());
  if (info.isDir()) {
    setDirectory(info.absoluteFilePath());
  } else if (info.isFile()) {
    chosen_ = info.absoluteFilePath();
    QDialog::accept();
  }
}

}  // namespace fernkartei::app
