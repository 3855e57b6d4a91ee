#pragma once
// Surroundings of an export run that record what the user would have seen.

#include <string>
#include <vector>

#include "export/run_surroundings.h"
#include "support/screen_pointer.h"

namespace fernkartei::fakes {

struct ShownMessage {
  std::string text;
  exporting::MessageIcon icon;
  int pointer;  // the screen pointer while the message was up
  float progress;
};

struct FakeSurroundings : exporting::RunSurroundings {
  void ShowMessage(const std::string& text, exporting::MessageIcon icon) override {
    messages.push_back({text, icon, pointer, value});
  }
  float ProgressMax() const override { return maximum; }
  float ProgressValue() const override { return value; }
  void SetProgressValue(float v) override { values.push_back(value = v); }
  int MousePointer() const override { return pointer; }
  void SetMousePointer(int code) override { pointer_history.push_back(pointer = code); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }

  std::vector<ShownMessage> messages;
  std::vector<int> pointer_history;
  std::vector<float> values;  // every value set, in order
  float maximum = 100;
  float value = 1;
  int pointer = support::kDefaultPointer;
};

}  // namespace fernkartei::fakes
