#include "support/error_log.h"

#include <ctime>
#include <string>
#include <utility>

#include "support/file_helpers.h"
#include "support/program_folder.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

std::string TwoDigits(unsigned value) {
  const std::string padded = "00" + std::to_string(value);
  return padded.substr(padded.size() - 2);
}

}  // namespace

std::chrono::year_month_day LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

ErrorLog::ErrorLog(std::string path, LogClock clock, FileSystem& files)
    : path_(std::move(path)), clock_(clock ? std::move(clock) : LogClock(LocalToday)), files_(&files) {}

void ErrorLog::Write(const std::string& location, const Failure& failure, int line) const {
  if (failure.number() <= 0) return;
  try {
    // The failure is read before the file is touched, so the entry describes the failure being
    // reported and nothing that goes wrong while logging it.
    const std::string message = "Fehler " + std::to_string(failure.number()) + " in " + location +
                                " (Line = " + std::to_string(line) + ")\r\n\r\nError = '" +
                                failure.description() + "'";
    const auto today = clock_();
    const std::string date = std::to_string(static_cast<int>(today.year())) + "-" +
                             TwoDigits(static_cast<unsigned>(today.month())) + "-" +
                             TwoDigits(static_cast<unsigned>(today.day()));
    const auto file = files_->OpenForAppend(path_);
    file->Write(Utf8ToWindows1252(date + "\r\n" + message + "\r\n"));
    file->Close();
  } catch (...) {
    // A log that cannot be written must not break what was being logged.
  }
}

ErrorLog ProgramErrorLog() {
  return ErrorLog(Add_Backslash(ProgramFolder()) + "error_log.txt");
}

void Write_Error_Log(const std::string& location, const Failure& failure, int line) {
  ProgramErrorLog().Write(location, failure, line);
}

}  // namespace fernkartei::support
