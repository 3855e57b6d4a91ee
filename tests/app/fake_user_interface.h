#pragma once
// A user-interface layer that keeps what the handlers did to it.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace fernkartei::testing {

struct FakeUserInterface : app::UserInterface {
  struct Message {
    std::string text;
    exporting::MessageIcon icon;
  };

  void MsgBox(const std::string& text, exporting::MessageIcon icon) override {
    messages.push_back({text, icon});
  }
  bool AnotherInstanceRunning() override { return another_instance; }
  void EndProcess(int exit_status) override { ended_with = exit_status; }
  void SetCaption(const std::string& text) override { caption = text; }
  float ScaleWidth() const override { return scale_width; }
  float ScaleHeight() const override { return scale_height; }
  std::string Text(app::TextBox box) const override { return texts[box == app::TextBox::Text1 ? 0 : 1]; }
  void SetText(app::TextBox box, const std::string& text) override {
    texts[box == app::TextBox::Text1 ? 0 : 1] = text;
  }
  bool OptionValue(int index) const override { return options.at(static_cast<std::size_t>(index)); }
  void SelectOption(int index) override {
    options = {};
    options.at(static_cast<std::size_t>(index)) = true;
  }
  float Progress(app::ProgressProperty property) const override { return progress[Slot(property)]; }
  void SetProgress(app::ProgressProperty property, float value) override { progress[Slot(property)] = value; }
  std::optional<std::string> PickContactsFolder() override { return picked; }
  int MousePointer() const override { return pointer; }
  void SetMousePointer(int code) override { pointer = code; }

  static std::size_t Slot(app::ProgressProperty property) { return static_cast<std::size_t>(property); }

  bool another_instance = false;
  float scale_width = 5775, scale_height = 2205;
  std::vector<Message> messages;
  std::optional<int> ended_with;
  std::string caption;
  std::array<std::string, 2> texts{"I (V) N", "I (V) N"};
  std::array<bool, app::kOptionCount> options{true, false, false, false};  // index 0 at creation
  std::array<float, 7> progress{0, 100, 0, 0, 1920, 5715, 255};            // Min .. Height
  int pointer = 0;
  std::optional<std::string> picked;  // what the folder dialog gives
};

}  // namespace fernkartei::testing
