#include "support/error_log.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <utility>

#include "support/file_helpers.h"
#include "support/program_folder.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

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

LogClock& Clock() {
  static LogClock clock = LocalToday;
  return clock;
}

std::string TwoDigits(unsigned value) {
  const std::string padded = "00" + std::to_string(value);
  return padded.substr(padded.size() - 2);
}

}  // namespace

void SetLogClock(LogClock clock) {
  Clock() = clock ? std::move(clock) : LogClock(LocalToday);
}

void Write_Error_Log(const std::string& location, const Failure& failure, int line) {
  if (failure.number() <= 0) return;
  try {
    // The failure is read before the file is touched, so the entry describes the failure being
    // reported and nothing that goes wrong while logging it.
    const std::string message = "Fehler " + std::to_string(failure.number()) + " in " + location +
                                " (Line = " + std::to_string(line) + ")\r\n\r\nError = '" +
                                failure.description() + "'";
    const auto today = Clock()();
    const std::string date = std::to_string(static_cast<int>(today.year())) + "-" +
                             TwoDigits(static_cast<unsigned>(today.month())) + "-" +
                             TwoDigits(static_cast<unsigned>(today.day()));
    const std::string entry = Utf8ToWindows1252(date + "\r\n" + message + "\r\n");

    const std::string path = Add_Backslash(ProgramFolder()) + "error_log.txt";
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return;  // a log that cannot be written must not break what was being logged
    std::fwrite(entry.data(), 1, entry.size(), file);
    std::fclose(file);
  } catch (...) {
  }
}

}  // namespace fernkartei::support
