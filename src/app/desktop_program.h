#pragma once
// The desktop program from start to end: Qt, the parts of this platform, the window. Its one switch,
// --auto-confirm, lets scripts run it without anybody at the screen.

#include <functional>

namespace fernkartei::app {

class QtForm;

// What a developer's program may watch of a start (the shipped program watches nothing): when the
// toolkit is ready, when Form_Load has run, and the window just before it shows.
struct StartWatch {
  std::function<void()> toolkit_ready;
  std::function<void()> loaded;
  std::function<void(QtForm& window)> before_show;
};

// Returns the process's exit status.
int RunDesktopProgram(int argc, char** argv, const StartWatch& watch = {});

}  // namespace fernkartei::app
