#include "support/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "support/file_helpers.h"
#include "support/posix/private_folder.h"

namespace fernkartei::support {
namespace {

enum class LockResult { Taken, HeldElsewhere, Unavailable };

LockResult TryLock(const std::string& path, int& descriptor) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return LockResult::Unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    descriptor = fd;
    return LockResult::Taken;
  }
  const int error = errno;
  ::close(fd);
  return error == EWOULDBLOCK ? LockResult::HeldElsewhere : LockResult::Unavailable;
}

}  // namespace

struct InstanceLock::Held {
  int descriptor;
  ~Held() { ::close(descriptor); }
};

InstanceLock::InstanceLock(std::string program_folder) : program_folder_(std::move(program_folder)) {}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::HeldElsewhere() {
  if (held_) return false;
  int descriptor = -1;
  LockResult result = TryLock(Add_Backslash(program_folder_) + ".fernkartei.lock", descriptor);
  // A write-protected program folder: lock a file named after it in the user's own runtime folder
  // instead. In the shared temporary folder another user could hold that lock, or remove it.
  if (result == LockResult::Unavailable) {
    if (const std::string runtime = PrivateRuntimeFolder(); !runtime.empty()) {
      result = TryLock(runtime + "/fernkartei-" + PathKey(program_folder_) + ".lock", descriptor);
    }
  }
  if (result == LockResult::Taken) held_.reset(new Held{descriptor});
  return result == LockResult::HeldElsewhere;
}

}  // namespace fernkartei::support
