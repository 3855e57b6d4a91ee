#pragma once
// Form1's window as far as no toolkit decides it: the options it starts with, ProgressBar1's properties,
// the screen pointer's code, the one running instance, message boxes that confirm themselves for
// scripts, and each event passed to its handler. A toolkit (Qt, Win32) draws through the hooks below.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/pointer_shape.h"
#include "app/progress_bar_properties.h"
#include "app/user_interface.h"
#include "support/instance_lock.h"
#include "support/program_folder.h"

namespace fernkartei::app {

struct FormOptions {
  // Confirms every message box at once and copies its text to standard error, so that scripts can run
  // the program without anybody at the screen.
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

// Message boxes show CR LF as one line break; so does standard error.
std::string WithPlainLineBreaks(const std::string& text);

class FormWindow : public UserInterface {
 public:
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Runs Form_Load; false when the program ended in it (another instance, a failure).
  bool Load();
  bool Ended() const { return ended_; }
  int ExitStatus() const { return exit_status_; }
  Form1& form() { return form_; }
  float TwipsPerPixelX() const { return twips_per_pixel_x_; }
  float TwipsPerPixelY() const { return twips_per_pixel_y_; }

  void MsgBox(const std::string& text, exporting::MessageIcon icon) final;
  bool AnotherInstanceRunning() final;
  void EndProcess(int exit_status) final;
  float ScaleWidth() const final;
  float ScaleHeight() const final;
  float Progress(ProgressProperty property) const final;
  void SetProgress(ProgressProperty property, float value) final;
  std::optional<std::string> PickContactsFolder() final;
  int MousePointer() const final { return mouse_pointer_; }
  void SetMousePointer(int code) final;

 protected:
  explicit FormWindow(FormOptions options);
  ~FormWindow() override;

  const FormOptions& options() const { return options_; }
  const ProgressBarProperties& progress_bar() const { return progress_bar_; }
  // The resolution the window lays out for: the one the options name, else the toolkit's.
  void UseDotsPerInch(float toolkit_x, float toolkit_y);
  float DotsPerInchX() const;
  float DotsPerInchY() const;

  // The window's events, each run as Form1's handler; nothing runs after the program ended.
  void Resized();
  void StartClicked();
  // True when the window may close.
  bool CloseRequested();

  // What the toolkit does. ShowMessageBox is modal with one OK button, titled App_Title.
  virtual void ShowMessageBox(const std::string& text, exporting::MessageIcon icon) = 0;
  virtual void HideWindow() = 0;
  virtual void LeaveEventLoop(int exit_status) = 0;
  virtual int ClientPixelWidth() const = 0;
  virtual int ClientPixelHeight() const = 0;
  // Puts the bar where progress_bar() says, in pixels of the window's resolution.
  virtual void PlaceProgressBar() = 0;
  // paint_now: paint it before returning. An export holds the event loop; the bar must not wait for it.
  virtual void ShowProgressShare(float share, bool paint_now) = 0;
  virtual void ShowPointer(PointerShape shape) = 0;
  virtual std::optional<std::string> ShowFolderDialog() = 0;

 private:
  FormOptions options_;
  float twips_per_pixel_x_ = 15;
  float twips_per_pixel_y_ = 15;
  Form1 form_;
  ProgressBarProperties progress_bar_;
  std::optional<std::chrono::steady_clock::time_point> last_progress_paint_;
  int mouse_pointer_ = support::kDefaultPointer;
  std::unique_ptr<support::InstanceLock> instance_lock_;
  bool ended_ = false;
  int exit_status_ = 0;
};

}  // namespace fernkartei::app
