#include "support/wait_cursor.h"

#include <gtest/gtest.h>

namespace fernkartei::support {
namespace {

class FakePointer : public ScreenPointer {
 public:
  int MousePointer() const override { return code; }
  void SetMousePointer(int c) override { code = c; }
  int code = kDefaultPointer;
};

TEST(WaitCursor, ShowsHourglassAndRestoresOnRelease) {
  FakePointer screen;
  {
    clsWaitCursor wait(screen);
    EXPECT_EQ(screen.code, kDefaultPointer);
    wait.Show();
    EXPECT_EQ(screen.code, kHourglassPointer);
  }
  EXPECT_EQ(screen.code, kDefaultPointer);
}

TEST(WaitCursor, NestedInstancesRestoreTheOuterPointer) {
  FakePointer screen;
  screen.code = 3;
  {
    clsWaitCursor outer(screen);
    outer.Show();
    {
      clsWaitCursor inner(screen);
      inner.Show();
    }
    EXPECT_EQ(screen.code, kHourglassPointer);
  }
  EXPECT_EQ(screen.code, 3);
}

TEST(WaitCursor, ReleaseWithoutShowSetsTheDefaultPointer) {
  FakePointer screen;
  screen.code = 5;
  { clsWaitCursor unused(screen); }
  EXPECT_EQ(screen.code, kDefaultPointer);
}

TEST(WaitCursor, RestoresWhenTheScopeIsLeftByAnException) {
  FakePointer screen;
  try {
    clsWaitCursor wait(screen);
    wait.Show();
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(screen.code, kDefaultPointer);
}

}  // namespace
}  // namespace fernkartei::support
