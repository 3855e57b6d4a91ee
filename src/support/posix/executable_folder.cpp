#include <filesystem>
#include <string>
#include <system_error>

namespace fernkartei::support {

// The folder of the running executable, from the kernel's own record of it; the current folder when
// that cannot be read (a program started from a deleted file, an unusual /proc).
std::string ExecutableFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return std::filesystem::current_path(error).string();
  return exe.parent_path().string();
}

}  // namespace fernkartei::support
