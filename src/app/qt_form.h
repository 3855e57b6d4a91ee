#pragma once
// The Qt implementation of the user-interface layer: Form1's window with its controls, message boxes, the
// override cursor as screen pointer, and the folder dialog.

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "app/form1_layout.h"
#include "app/form_window.h"

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QRadioButton;

namespace fernkartei::app {

// The Qt window takes the options every window takes.
using QtFormOptions = FormOptions;

class QtForm : public QWidget, public FormWindow {
  Q_OBJECT

 public:
  explicit QtForm(QtFormOptions options = {});
  ~QtForm() override;

  void SetCaption(const std::string& caption) override;
  std::string Text(TextBox box) const override;
  void SetText(TextBox box, const std::string& text) override;
  bool OptionValue(int index) const override;
  void SelectOption(int index) override;

 signals:
  // After the window's first paint: the moment the user sees it.
  void FirstPainted();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

  void ShowMessageBox(const std::string& text, exporting::MessageIcon icon) override;
  void HideWindow() override { hide(); }
  void LeaveEventLoop(int exit_status) override;
  int ClientPixelWidth() const override { return width(); }
  int ClientPixelHeight() const override { return height(); }
  void PlaceProgressBar() override;
  void ShowProgressShare(float share, bool paint_now) override;
  void ShowPointer(PointerShape shape) override;
  std::optional<std::string> ShowFolderDialog() override;

 private:
  void CreateControls();
  QWidget* CreateControl(const ControlLayout& control);
  void FitFont();
  QLineEdit* TextBoxWidget(TextBox box) const;

  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QButtonGroup* options_group_ = nullptr;
  std::array<QRadioButton*, kOptionCount> option1_{};
  bool override_cursor_set_ = false;
  bool painted_ = false;
};

}  // namespace fernkartei::app
