#include "support/instance_lock.h"

#include <gtest/gtest.h>

#include <optional>

#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

// A folder that takes no lock file of its own is locked elsewhere, by its name.
TEST(InstanceLockTest, OnlyTheFirstHolderOfAFolderRunsUntilItReleases) {
  testing::TempFolder folder;
  const std::string here = folder.path().string(), missing = folder / "gibt-es-nicht";
  const std::tuple<std::string, std::string, bool> cases[] = {
      {here, here, true}, {missing, missing, true}, {here, missing, false}};
  for (const auto& [first, second, refused] : cases) {
    std::optional<InstanceLock> holder(first);
    EXPECT_FALSE(holder->HeldElsewhere());
    EXPECT_FALSE(holder->HeldElsewhere()) << "the holder asking again";
    EXPECT_EQ(InstanceLock(second).HeldElsewhere(), refused) << second;
    holder.reset();
    EXPECT_FALSE(InstanceLock(second).HeldElsewhere()) << "released";
  }
}

}  // namespace
}  // namespace fernkartei::support
