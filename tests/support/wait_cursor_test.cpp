#include "support/wait_cursor.h"

#include <gtest/gtest.h>

namespace fernkartei::support {
namespace {

struct FakePointer : ScreenPointer {
  int MousePointer() const override { return code; }
  void SetMousePointer(int c) override { code = c; }
  int code = 3;
};

// Nested, or left by an exception, it puts back what was there; never shown, it leaves the default.
TEST(WaitCursor, ShowsTheHourglassUntilReleasedThenPutsBackWhatWasThere) {
  FakePointer screen;
  try {
    clsWaitCursor outer(screen), inner(screen);
    outer.Show();
    inner.Show();
    EXPECT_EQ(screen.code, kHourglassPointer);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(screen.code, 3);
  { clsWaitCursor never_shown(screen); }
  EXPECT_EQ(screen.code, kDefaultPointer);
}

}  // namespace
}  // namespace fernkartei::support
