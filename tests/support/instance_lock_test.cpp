#include "support/instance_lock.h"

#include <gtest/gtest.h>

#include <memory>

#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

TEST(InstanceLockTest, OnlyTheFirstHolderOfAFolderRuns) {
  testing::TempFolder folder;
  const std::string missing = folder / "gibt-es-nicht";
  struct Case {
    std::string first, second;
    bool second_refused;
  };
  const Case cases[] = {
      {folder.path().string(), folder.path().string(), true},
      {missing, missing, true},  // a folder that takes no lock file of its own
      {folder.path().string(), missing, false},
  };
  for (const Case& c : cases) {
    InstanceLock first(c.first);
    EXPECT_FALSE(first.HeldElsewhere());
    EXPECT_FALSE(first.HeldElsewhere()) << "the holder asking again";
    EXPECT_EQ(InstanceLock(c.second).HeldElsewhere(), c.second_refused) << c.second;
  }
  auto gone = std::make_unique<InstanceLock>(folder.path().string());
  ASSERT_FALSE(gone->HeldElsewhere());
  gone.reset();
  EXPECT_FALSE(InstanceLock(folder.path().string()).HeldElsewhere()) << "a released lock is free again";
}

}  // namespace
}  // namespace fernkartei::support
