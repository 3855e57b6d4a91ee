#pragma once
// One running instance per program folder: an advisory lock on a file in that folder, held for the life
// of the process and released by the system however the process ends, so a crash leaves no stale lock.

#include <string>

namespace fernkartei::app {

// The user's own folder for the fallback lock, where no other user can create, remove or replace files:
// XDG_RUNTIME_DIR when it names a folder of this user that nobody else may write to; otherwise
// "fernkartei" in the user's cache folder (XDG_CACHE_HOME, else ~/.cache), created for the user alone.
// Empty when there is no such folder.
std::string PrivateRuntimeFolder();

class InstanceLock {
 public:
  // lock_path: the lock file; fallback_path: where to lock when the first cannot be created (a
  // write-protected program folder).
  InstanceLock(std::string lock_path, std::string fallback_path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock if it is free. True when another process holds it. When neither file can be
  // created, nobody can be detected, and the answer is false.
  bool HeldElsewhere();

 private:
  std::string lock_path_;
  std::string fallback_path_;
  int descriptor_ = -1;
};

}  // namespace fernkartei::app
