#pragma once
// The folder chooser of the vCard source: a folder that holds vCards, or one .vcf file.

#include <QFileDialog>
#include <QString>

class QPushButton;

namespace fernkartei::app {

class VCardLocationDialog : public QFileDialog {
  Q_OBJECT

 public:
  explicit VCardLocationDialog(QWidget* parent = nullptr);

  // The folder or file chosen; empty until the dialog was accepted.
  QString Chosen() const { return chosen_; }
  // "Diesen Ordner wählen": takes the folder being shown.

  // An existing file is a choice, a folder is entered, a name that does not exist keeps the dialog open.
  void accept() override;

 private:
  QString chosen_;
  QPushButton* choose_folder_ = nullptr;
};

}  // namespace fernkartei::app
