#pragma once
// A user-interface layer that remembers what the handlers did to it, in order.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace fernkartei::testing {

class FakeUserInterface : public app::UserInterface {
 public:
  struct Message {
    std::string text;
    exporting::MessageIcon icon;
  };

  // Settable before a handler runs.
  bool another_instance = false;
  float scale_width = 5775, scale_height = 2205;

  // What the handlers left.
  std::vector<std::string> calls;
  std::vector<Message> messages;
  std::optional<int> ended_with;
  std::string caption;
  std::array<std::string, 2> texts{"I (V) N", "I (V) N"};
  // Index 0 is selected at creation, as in the real window.
  std::array<bool, app::kOptionCount> options{true, false, false, false};
  std::array<float, 7> progress{0, 100, 0, 0, 1920, 5715, 255};
  int pointer = 0;

  void MsgBox(const std::string& text, exporting::MessageIcon icon) override {
    calls.push_back("MsgBox");
    messages.push_back({text, icon});
  }
  bool AnotherInstanceRunning() override {
    calls.push_back("AnotherInstanceRunning");
    return another_instance;
  }
  void EndProcess(int exit_status) override {
    calls.push_back("EndProcess " + std::to_string(exit_status));
    ended_with = exit_status;
  }
  void SetCaption(const std::string& text) override {
    calls.push_back("SetCaption " + text);
    caption = text;
  }
  float ScaleWidth() const override { return scale_width; }
  float ScaleHeight() const override { return scale_height; }
  std::string Text(app::TextBox box) const override { return texts[Slot(box)]; }
  void SetText(app::TextBox box, const std::string& text) override {
    calls.push_back(std::string(box == app::TextBox::Text1 ? "SetText1 " : "SetText2 ") + text);
    texts[Slot(box)] = text;
  }
  bool OptionValue(int index) const override { return options.at(static_cast<std::size_t>(index)); }
  void SelectOption(int index) override {
    calls.push_back("SelectOption " + std::to_string(index));
    options = {};
    options.at(static_cast<std::size_t>(index)) = true;
  }
  float Progress(app::ProgressProperty property) const override { return progress[Slot(property)]; }
  void SetProgress(app::ProgressProperty property, float value) override {
    static constexpr std::array<const char*, 7> kNames{"Min", "Max",   "Value", "Left",
                                                       "Top", "Width", "Height"};
    calls.push_back(std::string("SetProgress ") + kNames[Slot(property)] + " " + std::to_string(value));
    progress[Slot(property)] = value;
  }
  std::optional<std::string> PickContactsFolder() override { return std::nullopt; }
  int MousePointer() const override { return pointer; }
  void SetMousePointer(int code) override {
    calls.push_back("SetMousePointer " + std::to_string(code));
    pointer = code;
  }

  float Progress(int slot) const { return progress.at(static_cast<std::size_t>(slot)); }

 private:
  static std::size_t Slot(app::TextBox box) { return box == app::TextBox::Text1 ? 0 : 1; }
  static std::size_t Slot(app::ProgressProperty property) { return static_cast<std::size_t>(property); }
};

}  // namespace fernkartei::testing
