#include "app/instance_lock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/temp_folder.h"

namespace fernkartei::app {
namespace {

TEST(InstanceLockTest, OnlyTheFirstHolderOfAFolderRuns) {
  testing::TempFolder folder;
  const std::string primary = folder / ".fernkartei.lock";
  const std::string fallback = folder / "fallback.lock";
  const std::string missing = folder / "gibt-es-nicht/x.lock";
  struct Case {
    std::string name;
    std::string first_primary, first_fallback;
    std::string second_primary, second_fallback;
    bool second_held_elsewhere;
  };
  const std::vector<Case> cases = {
      {"same folder", primary, fallback, primary, fallback, true},
      {"write-protected folder falls back", missing, fallback, missing, fallback, true},
      {"first locked in the folder, second only finds the fallback", primary, fallback, missing, fallback,
       false},
      {"nothing can be locked", missing, missing, missing, missing, false},
      {"other folder", primary, fallback, folder / "anders.lock", folder / "anders2.lock", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstanceLock first(c.first_primary, c.first_fallback);
    EXPECT_FALSE(first.HeldElsewhere());
    // Asking again from the holder does not see itself as another instance.
    EXPECT_FALSE(first.HeldElsewhere());
    InstanceLock second(c.second_primary, c.second_fallback);
    EXPECT_EQ(second.HeldElsewhere(), c.second_held_elsewhere);
  }
}

TEST(InstanceLockTest, TheLockIsFreeAgainOnceItsHolderIsGone) {
  testing::TempFolder folder;
  auto first = std::make_unique<InstanceLock>(folder / "a.lock", folder / "b.lock");
  ASSERT_FALSE(first->HeldElsewhere());
  first.reset();
  InstanceLock second(folder / "a.lock", folder / "b.lock");
  EXPECT_FALSE(second.HeldElsewhere());
  InstanceLock third(folder / "a.lock", folder / "b.lock");
  EXPECT_TRUE(third.HeldElsewhere());
}

}  // namespace
}  // namespace fernkartei::app
