#include "app/instance_lock.h"

#include <gtest/gtest.h>

#include <memory>

#include "fixtures/temp_folder.h"

namespace fernkartei::app {
namespace {

TEST(InstanceLockTest, OnlyTheFirstHolderOfAFolderRuns) {
  testing::TempFolder folder;
  const std::string lock = folder / ".fernkartei.lock", fallback = folder / "fallback.lock";
  const std::string missing = folder / "gibt-es-nicht/x.lock";
  struct Case {
    std::string first_lock, first_fallback, second_lock, second_fallback;
    bool second_refused;
  };
  const Case cases[] = {
      {lock, fallback, lock, fallback, true},
      {missing, fallback, missing, fallback, true},  // write-protected program folder
      {missing, missing, missing, missing, false},   // nothing lockable: nobody can be detected
      {lock, fallback, folder / "b.lock", folder / "c.lock", false},
  };
  for (const Case& c : cases) {
    InstanceLock first(c.first_lock, c.first_fallback);
    EXPECT_FALSE(first.HeldElsewhere());
    EXPECT_FALSE(first.HeldElsewhere()) << "the holder asking again";
    EXPECT_EQ(InstanceLock(c.second_lock, c.second_fallback).HeldElsewhere(), c.second_refused)
        << c.second_lock;
  }
  auto gone = std::make_unique<InstanceLock>(lock, fallback);
  ASSERT_FALSE(gone->HeldElsewhere());
  gone.reset();
  EXPECT_FALSE(InstanceLock(lock, fallback).HeldElsewhere()) << "a released lock is free again";
}

}  // namespace
}  // namespace fernkartei::app
