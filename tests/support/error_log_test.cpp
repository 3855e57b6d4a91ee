#include "support/error_log.h"

#include <gtest/gtest.h>

#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

using namespace std::chrono;

TEST(ErrorLog, AppendsFourLinesForEachFailureAboveZeroInWindows1252) {
  testing::TempFolder folder;
  year_month_day today = 2019y / April / 8d;
  const ErrorLog log(folder / "error_log.txt", [&] { return today; });
  log.Write("Hauptmodul!Sub Write_INI()", Failure(ErrorNumber::FileNotFound), 3);
  log.Write("x", Failure(static_cast<ErrorNumber>(-2147467259), "ADO"), 1);
  log.Write("x", Failure(static_cast<ErrorNumber>(0), "none"), 1);
  today = 2020y / December / 31d;
  log.Write("mdlADOXModul!Function Jet4()", Failure(ErrorNumber::PermissionDenied, "f\xC3\xBCr \xE2\x82\xAC"),
            4);
  EXPECT_EQ(
      folder.Read("error_log.txt"),
      "2019-04-08\r\nFehler 53 in Hauptmodul!Sub Write_INI() (Line = 3)\r\n\r\nError = 'File not found'\r\n"
      "2020-12-31\r\nFehler 70 in mdlADOXModul!Function Jet4() (Line = 4)\r\n\r\nError = 'f\xFCr \x80'\r\n");
  // A log that cannot be written is given up quietly.
  EXPECT_NO_THROW(ErrorLog(folder / "fehlt/error_log.txt").Write("x", Failure(ErrorNumber::FileNotFound), 1));
  EXPECT_LE(abs((sys_days(LocalToday()) - floor<days>(system_clock::now())).count()), 1);
}

}  // namespace
}  // namespace fernkartei::support
