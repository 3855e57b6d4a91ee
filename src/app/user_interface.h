#pragma once
// What the window's handlers need of a user-interface toolkit, and nothing more. The handlers are written
// against this alone: the Qt window is one implementation, the tests' fake another, and a native Windows
// layer can be added later without touching them.

#include <optional>
#include <string>

#include "export/export_format.h"
#include "export/run_surroundings.h"
#include "support/screen_pointer.h"

namespace fernkartei::app {

enum class TextBox { Text1, Text2 };

// The seven properties of ProgressBar1 the program reads or sets. Positions are in twips.
enum class ProgressProperty { Min, Max, Value, Left, Top, Width, Height };

// The four Option1 buttons, addressed by index: one per export format.
inline constexpr int kOptionCount = exporting::kFormatCount;

class UserInterface : public support::ScreenPointer {
 public:
  // Modal: returns once the user has confirmed. Title App_Title, one OK button.
  virtual void MsgBox(const std::string& text, exporting::MessageIcon icon) = 0;
  // True when another process of this program already runs from the same program folder.
  virtual bool AnotherInstanceRunning() = 0;
  // Ends the program with the status; the caller returns at once and no further handler runs.
  virtual void EndProcess(int exit_status) = 0;

  virtual void SetCaption(const std::string& caption) = 0;
  // The client area, in twips.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;

  virtual std::string Text(TextBox box) const = 0;
  virtual void SetText(TextBox box, const std::string& text) = 0;

  // True for the selected button; selecting one clears the other three.
  virtual bool OptionValue(int index) const = 0;
  virtual void SelectOption(int index) = 0;

  virtual float Progress(ProgressProperty property) const = 0;
  virtual void SetProgress(ProgressProperty property, float value) = 0;

  // The folder dialog the vCard source asks when no contacts folder is configured: a folder of vCards or
  // one vCard file, nothing when the user cancels.
  virtual std::optional<std::string> PickContactsFolder() = 0;
};

}  // namespace fernkartei::app
