#pragma once
// One running instance per program folder. The lock is held for the life of the process and released by
// the system however the process ends, so a crash leaves no stale lock. POSIX: an advisory lock on a
// file in the folder (or, for a write-protected folder, on one named after it in the user's own runtime
// folder); Windows: a named mutex of the session named after the folder.

#include <memory>
#include <string>

namespace fernkartei::support {

class InstanceLock {
 public:
  explicit InstanceLock(std::string program_folder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock if it is free. True when another instance for the same folder holds it. When nothing
  // can be locked, nobody can be detected, and the answer is false.
  bool HeldElsewhere();

 private:
  struct Held;  // what the platform holds: a locked file, a mutex
  std::string program_folder_;
  std::unique_ptr<Held> held_;
};

}  // namespace fernkartei::support
