#include "support/failure.h"

#include <cerrno>

namespace fernkartei::support {

std::string DescriptionOf(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::InvalidProcedureCall:
      return "Invalid procedure call or argument";
    case ErrorNumber::Overflow:
      return "Overflow";
    case ErrorNumber::OutOfMemory:
      return "Out of memory";
    case ErrorNumber::SubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorNumber::TypeMismatch:
      return "Type mismatch";
    case ErrorNumber::BadFileNameOrNumber:
      return "Bad file name or number";
    case ErrorNumber::FileNotFound:
      return "File not found";
    case ErrorNumber::FileAlreadyOpen:
      return "File already open";
    case ErrorNumber::DeviceIoError:
      return "Device I/O error";
    case ErrorNumber::DiskFull:
      return "Disk full";
    case ErrorNumber::PermissionDenied:
      return "Permission denied";
    case ErrorNumber::PathFileAccessError:
      return "Path/File access error";
    case ErrorNumber::PathNotFound:
      return "Path not found";
    case ErrorNumber::ObjectNotSet:
      return "Object variable or With block variable not set";
    case ErrorNumber::InvalidUseOfNull:
      return "Invalid use of Null";
    case ErrorNumber::CannotCreateObject:
      return "ActiveX component can't create object";
    case ErrorNumber::NoAutomationInterface:
      return "Class does not support Automation or does not support expected interface";
    case ErrorNumber::PropertyNotSupported:
      return "Object doesn't support this property or method";
    case ErrorNumber::AutomationError:
      return "Automation error";
    case ErrorNumber::ArgumentNotOptional:
      return "Argument not optional";
    case ErrorNumber::WrongNumberOfArguments:
      return "Wrong number of arguments or invalid property assignment";
    case ErrorNumber::OperationCancelled:
      return "Operation cancelled";
    case ErrorNumber::UnrecognizedDatabaseFormat:
      return "Unrecognized database format";
    case ErrorNumber::FileInUse:
      return "Could not use the file; file already in use";
    case ErrorNumber::TableNotFound:
      return "The table could not be found";
    case ErrorNumber::QueryFailed:
      return "The query could not be run";
  }
  return "Application-defined or object-defined error";
}

void ThrowFileFailure(int error_code) {
  switch (error_code) {
    case ENOSPC:
      throw Failure(ErrorNumber::DiskFull);
    case EACCES:
    case EPERM:
    case EROFS:
      throw Failure(ErrorNumber::PermissionDenied);
    case ENOENT:
    case ENOTDIR:
      throw Failure(ErrorNumber::PathNotFound);
    case EISDIR:
      throw Failure(ErrorNumber::PathFileAccessError);
    default:
      throw Failure(ErrorNumber::DeviceIoError);
  }
}

Failure::Failure(ErrorNumber number, const std::string& description)
    : std::runtime_error(description), number_(static_cast<std::int32_t>(number)) {}

Failure::Failure(ErrorNumber number) : Failure(number, DescriptionOf(number)) {}

}  // namespace fernkartei::support
