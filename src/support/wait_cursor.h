#pragma once
// Shows the hourglass for as long as it lives after Show(), then puts back what was there: however an
// export run leaves, the pointer comes back with the end of its scope.

#include <cstdint>

#include "support/screen_pointer.h"

namespace fernkartei::support {

class clsWaitCursor {
 public:
  explicit clsWaitCursor(ScreenPointer& screen) : screen_(screen) { Class_Initialize(); }
  ~clsWaitCursor() { Class_Terminate(); }
  clsWaitCursor(const clsWaitCursor&) = delete;
  clsWaitCursor& operator=(const clsWaitCursor&) = delete;

  void Show() {
    Saved_Pointer = screen_.MousePointer();
    screen_.SetMousePointer(kHourglassPointer);
  }

 private:
  void Class_Initialize() { Saved_Pointer = kDefaultPointer; }
  // Restores unconditionally, also without Show(): a released instance leaves the pointer it saved,
  // which is the default pointer when Show() never ran.
  void Class_Terminate() { screen_.SetMousePointer(Saved_Pointer); }

  ScreenPointer& screen_;
  std::int32_t Saved_Pointer = kDefaultPointer;
};

}  // namespace fernkartei::support
