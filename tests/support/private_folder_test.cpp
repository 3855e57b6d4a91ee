// The fallback instance lock of a write-protected program folder lives where no other user can reach it.

#include "support/posix/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_folder.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;

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
  const struct {
    const char* runtime_dir;
    std::string expected;
  } cases[] = {
      {runtime.c_str(), runtime},
      {nullptr, own_cache},
      {shared.c_str(), own_cache},
      {"run", own_cache},
      {(folder / "link").c_str(), own_cache},
  };
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved_runtime = saved != nullptr ? saved : "", saved_home = std::getenv("HOME");
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
  for (const auto& c : cases) {
    if (c.runtime_dir != nullptr) setenv("XDG_RUNTIME_DIR", c.runtime_dir, 1);
    if (c.runtime_dir == nullptr) unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PrivateRuntimeFolder(), c.expected) << (c.runtime_dir ? c.runtime_dir : "(unset)");
  }
  EXPECT_EQ(fs::status(own_cache).permissions() & fs::perms::all, fs::perms::owner_all);
  setenv("HOME", saved_home.c_str(), 1);
  if (saved != nullptr) setenv("XDG_RUNTIME_DIR", saved_runtime.c_str(), 1);
}

}  // namespace
}  // namespace fernkartei::support
