#pragma once
// The Qt implementation of the user-interface layer: Form1's window with its controls, message boxes, the
// override cursor as screen pointer, one running instance per program folder, and the folder dialog.

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/form1_layout.h"
#include "app/user_interface.h"
#include "support/instance_lock.h"
#include "support/program_folder.h"

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QRadioButton;

namespace fernkartei::app {

struct QtFormOptions {
  // Confirms every message box as soon as it shows and copies its text to standard error, so that
  // scripts can run the program without anybody at the screen.
  bool auto_confirm = false;
  // Sees the text and icon of every message box before it shows.
  std::function<void(const std::string& text, exporting::MessageIcon icon)> message_observer;
  // Replaces the folder dialog.
  std::function<std::optional<std::string>()> folder_picker;
  // What ending the program means; by default the event loop ends with the status.
  std::function<void(int exit_status)> end_process;
  // The logical resolution to lay out for; 0 takes the screen's.
  float dots_per_inch = 0;
  // The export procedures, over the contact source main chose.
  ExportProcedures exports;
  // Where system.ini, the area-code database and the one-instance lock live.
  std::string program_folder = support::ProgramFolder();
};

class QtForm : public QWidget, public UserInterface {
  Q_OBJECT

 public:
  explicit QtForm(QtFormOptions options = {});
  ~QtForm() override;

  // Runs Form_Load; false when the program ended in it (another instance, a failure).
  bool Load();
  bool Ended() const { return ended_; }
  int ExitStatus() const { return exit_status_; }
  Form1& form() { return form_; }

  // Leaves all four options unselected, which the user cannot do; for automation only.
  void ClearOptionSelection();
  float TwipsPerPixelX() const { return twips_per_pixel_x_; }
  float TwipsPerPixelY() const { return twips_per_pixel_y_; }

  void MsgBox(const std::string& text, exporting::MessageIcon icon) override;
  bool AnotherInstanceRunning() override;
  void EndProcess(int exit_status) override;
  void SetCaption(const std::string& caption) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  std::string Text(TextBox box) const override;
  void SetText(TextBox box, const std::string& text) override;
  bool OptionValue(int index) const override;
  void SelectOption(int index) override;
  float Progress(ProgressProperty property) const override;
  void SetProgress(ProgressProperty property, float value) override;
  std::optional<std::string> PickContactsFolder() override;
  int MousePointer() const override { return mouse_pointer_; }
  void SetMousePointer(int code) override;

 signals:
  // After the window's first paint: the moment the user sees it.
  void FirstPainted();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct ProgressState {
    float min = 0, max = 100, value = 0;
    float left = 0, top = 0, width = 0, height = 0;
  };

  void CreateControls();
  QWidget* CreateControl(const ControlLayout& control);
  void FitFont();
  void PlaceProgressBar();
  void ShowProgressValue();
  QLineEdit* TextBoxWidget(TextBox box) const;

  QtFormOptions options_;
  float twips_per_pixel_x_;
  float twips_per_pixel_y_;
  Form1 form_;
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QButtonGroup* options_group_ = nullptr;
  std::array<QRadioButton*, kOptionCount> option1_{};
  ProgressState progress_;
  QElapsedTimer last_progress_repaint_;
  int mouse_pointer_ = support::kDefaultPointer;
  bool override_cursor_set_ = false;
  std::unique_ptr<support::InstanceLock> instance_lock_;
  bool ended_ = false;
  int exit_status_ = 0;
  bool painted_ = false;
};

}  // namespace fernkartei::app
