// The fallback instance lock of a write-protected program folder lives where no other user can reach it.

#include "support/posix/private_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/program_folder.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;
using testing::ScopedEnvironment;

TEST(PrivateRuntimeFolder, IsTheUsersRuntimeFolderOrElseAFolderOfHisCache) {
  testing::TempFolder folder;
  const std::string runtime = folder / "run", shared = folder / "shared", home = folder / "home";
  fs::create_directories(runtime);
  fs::create_directories(shared);
  fs::create_directories(home);
  fs::permissions(runtime, fs::perms::owner_all);
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  fs::create_directory_symlink(runtime, folder / "link");
  const std::string own_cache = home + "/.cache/fernkartei";
  const std::pair<std::string, std::string> cases[] = {// "": unset
                                                       {runtime, runtime},
                                                       {"", own_cache},
                                                       {shared, own_cache},
                                                       {fs::relative(runtime), own_cache},
                                                       {folder / "link", own_cache}};
  const ScopedEnvironment home_set("HOME", home.c_str()), cache_unset("XDG_CACHE_HOME", nullptr);
  for (const auto& [runtime_dir, expected] : cases) {
    const ScopedEnvironment set("XDG_RUNTIME_DIR", runtime_dir.empty() ? nullptr : runtime_dir.c_str());
    EXPECT_EQ(PrivateRuntimeFolder(), expected) << runtime_dir;
  }
  EXPECT_EQ(fs::status(own_cache).permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace fernkartei::support
