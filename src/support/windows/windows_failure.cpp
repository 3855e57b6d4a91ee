#include "support/windows/windows_failure.h"

#include <windows.h>

namespace fernkartei::support {

Failure FailureFromWindowsError(unsigned long error_code) {
  switch (error_code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Failure(ErrorNumber::DiskFull);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
      return Failure(ErrorNumber::PermissionDenied);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return Failure(ErrorNumber::PathNotFound);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return Failure(ErrorNumber::BadFileNameOrNumber);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return Failure(ErrorNumber::OutOfMemory);
    default:
      return Failure(ErrorNumber::DeviceIoError);
  }
}

void ThrowLastWindowsError() {
  throw FailureFromWindowsError(GetLastError());
}

}  // namespace fernkartei::support
