#pragma once
// What an export run needs of the program around it: the window gives message boxes, the progress bar,
// the mouse pointer and the folder dialog; the command line prints instead. The run never talks to a
// toolkit directly.

#include <optional>
#include <string>

#include "support/screen_pointer.h"

namespace fernkartei::exporting {

enum class MessageIcon { None, Stop };

// The screen pointer carries the wait cursor of a run (support::clsWaitCursor).
class RunSurroundings : public support::ScreenPointer {
 public:
  // Modal: returns once the user has confirmed. The title is always App_Title, the only button OK.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;

  // ProgressBar1: value and maximum, single precision as the control keeps them.
  virtual float ProgressMax() const = 0;
  virtual float ProgressValue() const = 0;
  virtual void SetProgressValue(float value) = 0;

  // The folder dialog a contact source may ask when no contacts folder is configured: a folder or one
  // file, nothing when the user cancels. Without anyone to ask, nothing.
  virtual std::optional<std::string> PickContactsFolder() { return std::nullopt; }
};

}  // namespace fernkartei::exporting
