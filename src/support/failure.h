#pragma once
// One failure type for the whole program: a positive error number from the program's own list and a
// description. The window shows both in a message box, the command line prints them, the error log
// records them.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace fernkartei::support {

// The program's numbered failures. Numbers follow the classic Basic run-time list where one fits, so that
// an error log written by the old program and one written by this one read alike.
enum class ErrorNumber : std::int32_t {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  TypeMismatch = 13,
  BadFileNameOrNumber = 52,
  FileNotFound = 53,
  FileAlreadyOpen = 55,
  DeviceIoError = 57,
  DiskFull = 61,
  PermissionDenied = 70,
  PathFileAccessError = 75,
  PathNotFound = 76,
  ObjectNotSet = 91,
  InvalidUseOfNull = 94,
  CannotCreateObject = 429,
  NoAutomationInterface = 430,
  PropertyNotSupported = 438,
  AutomationError = 440,
  ArgumentNotOptional = 449,
  WrongNumberOfArguments = 450,
  OperationCancelled = 32755,
  UnrecognizedDatabaseFormat = 3343,
  FileInUse = 3045,
  TableNotFound = 3078,
  QueryFailed = 3001,
};

// The description that belongs to a number of the list above ("File not found" for 53).
std::string DescriptionOf(ErrorNumber number);

// The Failure that fits an errno value of the C library after a failed file operation.
[[noreturn]] void ThrowFileFailure(int error_code);

class Failure : public std::runtime_error {
 public:
  Failure(ErrorNumber number, const std::string& description);
  explicit Failure(ErrorNumber number);

  std::int32_t number() const noexcept { return number_; }
  std::string description() const { return what(); }

 private:
  std::int32_t number_;
};

}  // namespace fernkartei::support
