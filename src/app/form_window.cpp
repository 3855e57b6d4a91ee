#include "app/form_window.h"

#include <cstdio>
#include <utility>

#include "app/form1_layout.h"
#include "support/process_state.h"

namespace fernkartei::app {
namespace {

// At most one immediate paint of the progress bar per frame: an export of thousands of contacts moves
// the bar eight times per contact, and painting each step would cost more than the export.
constexpr std::chrono::milliseconds kProgressPaintInterval{16};

}  // namespace

std::string WithPlainLineBreaks(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      plain += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

FormWindow::FormWindow(FormOptions options)
    : options_(std::move(options)), form_(*this, options_.exports, options_.program_folder) {}

FormWindow::~FormWindow() = default;

void FormWindow::UseDotsPerInch(float toolkit_x, float toolkit_y) {
  const bool given = options_.dots_per_inch > 0;
  twips_per_pixel_x_ = TwipsPerPixel(given ? options_.dots_per_inch : toolkit_x);
  twips_per_pixel_y_ = TwipsPerPixel(given ? options_.dots_per_inch : toolkit_y);
}

float FormWindow::DotsPerInchX() const {
  return kTwipsPerInch / twips_per_pixel_x_;
}
float FormWindow::DotsPerInchY() const {
  return kTwipsPerInch / twips_per_pixel_y_;
}

bool FormWindow::Load() {
  RunEventHandler(*this, [this] { form_.Form_Load(); });
  return !ended_;
}

void FormWindow::Resized() {
  if (!ended_) RunEventHandler(*this, [this] { form_.Form_Resize(); });
}

void FormWindow::StartClicked() {
  if (!ended_) RunEventHandler(*this, [this] { form_.Command1_Click(); });
}

bool FormWindow::CloseRequested() {
  if (ended_) return true;
  std::int16_t cancel = kFalse;
  RunEventHandler(*this, [this, &cancel] { form_.Form_Unload(cancel); });
  return cancel == kFalse || ended_;
}

void FormWindow::MsgBox(const std::string& text, exporting::MessageIcon icon) {
  if (options_.message_observer) options_.message_observer(text, icon);
  if (options_.auto_confirm) {
    std::fprintf(stderr, "%s: %s\n", support::App_Title.c_str(), WithPlainLineBreaks(text).c_str());
    std::fflush(stderr);
    return;
  }
  ShowMessageBox(text, icon);
}

bool FormWindow::AnotherInstanceRunning() {
  if (!instance_lock_) instance_lock_ = std::make_unique<support::InstanceLock>(options_.program_folder);
  return instance_lock_->HeldElsewhere();
}

void FormWindow::EndProcess(int exit_status) {
  if (ended_) return;
  ended_ = true;
  exit_status_ = exit_status;
  HideWindow();
  if (options_.end_process) {
    options_.end_process(exit_status);
  } else {
    LeaveEventLoop(exit_status);
  }
}

float FormWindow::ScaleWidth() const {
  return static_cast<float>(ClientPixelWidth()) * twips_per_pixel_x_;
}
float FormWindow::ScaleHeight() const {
  return static_cast<float>(ClientPixelHeight()) * twips_per_pixel_y_;
}

float FormWindow::Progress(ProgressProperty property) const {
  return progress_bar_.Get(property);
}

void FormWindow::SetProgress(ProgressProperty property, float value) {
  progress_bar_.Set(property, value);
  if (ProgressBarProperties::IsPosition(property)) {
    PlaceProgressBar();
    return;
  }
  const auto now = std::chrono::steady_clock::now();
  const bool paint_now = !last_progress_paint_ || now - *last_progress_paint_ >= kProgressPaintInterval;
  if (paint_now) last_progress_paint_ = now;
  ShowProgressShare(progress_bar_.FilledShare(), paint_now);
}

std::optional<std::string> FormWindow::PickContactsFolder() {
  if (options_.folder_picker) return options_.folder_picker();
  return ShowFolderDialog();
}

void FormWindow::SetMousePointer(int code) {
  mouse_pointer_ = code;
  ShowPointer(PointerShapeFor(code));
}

}  // namespace fernkartei::app
