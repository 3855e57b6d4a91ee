#pragma once
// A user-interface layer that remembers what the handlers did to it, in order.

#include <array>
#include <charconv>
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

  bool another_instance = false;
  float scale_width = 5775, scale_height = 2205;

  std::vector<std::string> calls;
  std::vector<Message> messages;
  std::optional<int> ended_with;
  std::array<std::string, 2> texts{"I (V) N", "I (V) N"};
  std::array<bool, app::kOptionCount> options{true, false, false, false};  // index 0 at creation
  std::array<float, 7> progress{0, 100, 0, 0, 1920, 5715, 255};            // Min .. Height
  int pointer = 0;

  void MsgBox(const std::string& text, exporting::MessageIcon icon) override {
    Log("MsgBox");
    messages.push_back({text, icon});
  }
  bool AnotherInstanceRunning() override { return Log("AnotherInstanceRunning"), another_instance; }
  void EndProcess(int exit_status) override {
    Log("EndProcess " + std::to_string(ended_with.emplace(exit_status)));
  }
  void SetCaption(const std::string& text) override { Log("SetCaption " + text); }
  float ScaleWidth() const override { return scale_width; }
  float ScaleHeight() const override { return scale_height; }
  std::string Text(app::TextBox box) const override { return texts[Slot(box)]; }
  void SetText(app::TextBox box, const std::string& text) override {
    Log((Slot(box) == 0 ? "SetText1 " : "SetText2 ") + text);
    texts[Slot(box)] = text;
  }
  bool OptionValue(int index) const override { return options.at(static_cast<std::size_t>(index)); }
  void SelectOption(int index) override {
    Log("SelectOption " + std::to_string(index));
    options = {};
    options.at(static_cast<std::size_t>(index)) = true;
  }
  float Progress(app::ProgressProperty property) const override { return progress[Slot(property)]; }
  void SetProgress(app::ProgressProperty property, float value) override {
    static constexpr std::array<const char*, 7> kNames{"Min", "Max",   "Value", "Left",
                                                       "Top", "Width", "Height"};
    std::array<char, 32> number{};
    const auto end = std::to_chars(number.data(), number.data() + number.size(), value).ptr;
    Log(std::string("SetProgress ") + kNames[Slot(property)] + " " + std::string(number.data(), end));
    progress[Slot(property)] = value;
  }
  std::optional<std::string> PickContactsFolder() override { return std::nullopt; }
  int MousePointer() const override { return pointer; }
  void SetMousePointer(int code) override { pointer = code; }

 private:
  void Log(std::string call) { calls.push_back(std::move(call)); }
  static std::size_t Slot(app::TextBox box) { return box == app::TextBox::Text1 ? 0 : 1; }
  static std::size_t Slot(app::ProgressProperty property) { return static_cast<std::size_t>(property); }
};

}  // namespace fernkartei::testing
