#include "support/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace fernkartei::support {
namespace {

using namespace std::chrono;

class ErrorLog : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  year_month_day today = 2019y / April / 8d;
  support::ErrorLog log{folder / "error_log.txt", [this] { return today; }};
};

TEST_F(ErrorLog, WritesFourLinesPerEntryAndAppends) {
  log.Write("Hauptmodul!Sub Write_INI()", Failure(ErrorNumber::FileNotFound), 3);
  const std::string first =
      "2019-04-08\r\nFehler 53 in Hauptmodul!Sub Write_INI() (Line = 3)\r\n\r\nError = 'File not found'\r\n";
  EXPECT_EQ(folder.Read("error_log.txt"), first);

  today = 2020y / January / 1d;
  log.Write("mdlADOXModul!Function Jet4()", Failure(ErrorNumber::PermissionDenied, "Don't"), 4);
  EXPECT_EQ(
      folder.Read("error_log.txt"),
      first +
          "2020-01-01\r\nFehler 70 in mdlADOXModul!Function Jet4() (Line = 4)\r\n\r\nError = 'Don't'\r\n");
}

TEST_F(ErrorLog, DatesArePadded) {
  struct Case {
    year_month_day date;
    std::string line;
  };
  const Case cases[] = {{2019y / December / 31d, "2019-12-31"},
                        {2020y / January / 1d, "2020-01-01"},
                        {2021y / March / 9d, "2021-03-09"}};
  for (const auto& c : cases) {
    std::filesystem::remove(folder.path() / "error_log.txt");
    today = c.date;
    log.Write("x", Failure(ErrorNumber::FileNotFound), 1);
    EXPECT_EQ(folder.Read("error_log.txt").substr(0, 12), c.line + "\r\n");
  }
}

TEST_F(ErrorLog, DescriptionsAreStoredAsWindows1252) {
  log.Write("x", Failure(ErrorNumber::FileNotFound, "Datei f\xC3\xBCr \xE2\x82\xAC"), 1);
  EXPECT_NE(folder.Read("error_log.txt").find("Error = 'Datei f\xFCr \x80'"), std::string::npos);
}

TEST_F(ErrorLog, NumbersNotAboveZeroAreNotLogged) {
  log.Write("x", Failure(static_cast<ErrorNumber>(-2147467259), "ADO"), 1);
  log.Write("x", Failure(static_cast<ErrorNumber>(0), "none"), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "error_log.txt"));
}

TEST_F(ErrorLog, AnUnwritableLogIsGivenUpQuietly) {
  EXPECT_NO_THROW(support::ErrorLog(folder / "missing-folder/error_log.txt")
                      .Write("x", Failure(ErrorNumber::FileNotFound), 1));
}

}  // namespace
}  // namespace fernkartei::support
