// The desktop program: Form1 is the start object. Start-up runs while the window is hidden; the window
// shows only when start-up completed.

#include "app/desktop_program.h"

int main(int argc, char** argv) {
  return fernkartei::app::RunDesktopProgram(argc, argv);
}
