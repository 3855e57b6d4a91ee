#pragma once
// Surroundings of a run that nobody watches: messages are kept, the progress bar is a number, the mouse
// pointer a code, and there is no folder dialog. The command line builds on them; the benchmark runs in
// them as they are.

#include <string>
#include <vector>

#include "export/run_surroundings.h"
#include "support/screen_pointer.h"

namespace fernkartei::exporting {

class QuietSurroundings : public RunSurroundings {
 public:
  void ShowMessage(const std::string& text, MessageIcon) override { messages_.push_back(text); }
  float ProgressMax() const override { return maximum_; }
  float ProgressValue() const override { return value_; }
  void SetProgressValue(float value) override { value_ = value; }
  int MousePointer() const override { return pointer_; }
  void SetMousePointer(int code) override { pointer_ = code; }

  // Every message of the run, oldest first.
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  float maximum_ = 100;
  float value_ = 1;
  int pointer_ = support::kDefaultPointer;
  std::vector<std::string> messages_;
};

}  // namespace fernkartei::exporting
