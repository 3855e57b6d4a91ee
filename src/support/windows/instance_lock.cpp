#include "support/instance_lock.h"

#include <windows.h>

#include <utility>

#include "support/file_helpers.h"
#include "support/windows/wide_text.h"

namespace fernkartei::support {

struct InstanceLock::Held {
  HANDLE mutex;
  ~Held() { CloseHandle(mutex); }
};

InstanceLock::InstanceLock(std::string program_folder) : program_folder_(std::move(program_folder)) {}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::HeldElsewhere() {
  if (held_) return false;
  // Folder names are compared without regard to case on Windows: so is the key.
  std::wstring folder = WideFromUtf8(program_folder_);
  CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
  const std::wstring name = L"Local\\Fernkartei-" + WideFromUtf8(PathKey(Utf8FromWide(folder)));
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return true;
  }
  held_.reset(new Held{mutex});
  return false;
}

}  // namespace fernkartei::support
