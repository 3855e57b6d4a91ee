#include "support/wait_cursor.h"

#include <gtest/gtest.h>

namespace fernkartei::support {
namespace {

struct FakePointer : ScreenPointer {
  int MousePointer() const override { return code; }
  void SetMousePointer(int c) override { code = c; }
  int code = 3;
};

TEST(WaitCursor, ShowsTheHourglassUntilReleasedThenPutsBackWhatWasThere) {
  FakePointer screen;
  try {
    clsWaitCursor outer(screen);
    outer.Show();
    {
      clsWaitCursor inner(screen);
      inner.Show();
    }
    EXPECT_EQ(screen.code, kHourglassPointer);
    throw 1;  // leaving the scope by an exception restores all the same
  } catch (int) {
  }
  EXPECT_EQ(screen.code, 3);
  { clsWaitCursor never_shown(screen); }
  EXPECT_EQ(screen.code, kDefaultPointer);
}

}  // namespace
}  // namespace fernkartei::support
