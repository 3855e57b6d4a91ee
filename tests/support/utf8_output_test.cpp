#include "support/utf8_output.h"

#include <gtest/gtest.h>

#include "fakes/failing_file_system.h"
#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

using testing::FailureNumberOf;
using testing::Number;

TEST(Utf8Output, WritesWellFormedUtf8WithOptionalCrLfAfterWhatIsThere) {
  struct Case {
    const char* what;
    std::string text;
    bool line_end;
    std::string bytes;
  };
  const Case cases[] = {
      {"euro sign, no byte-order mark", "\xE2\x82\xAC", true, "\xE2\x82\xAC\r\n"},
      {"above U+FFFF stays one 4-byte sequence", "\xF0\x9F\x93\x9E", false, "\xF0\x9F\x93\x9E"},
      {"empty with line end", "", true, "\r\n"},
      {"empty without line end", "", false, ""},
      {"lone surrogate becomes one replacement", "a\xED\xA0\x80z", false, "a\xEF\xBF\xBDz"},
      {"stray continuation byte", "M\x80ller", false, "M\xEF\xBF\xBDller"},
      {"Latin-1 byte from a careless source", "M\xFCller", true, "M\xEF\xBF\xBDller\r\n"},
      {"cut-off sequence at the end", "ab\xE2\x82", false, "ab\xEF\xBF\xBD"},
      {"inner line breaks are the caller's business", "a\nb", false, "a\nb"},
  };
  for (const auto& c : cases) {
    testing::TempFolder folder;
    auto file = Open_UTF8_File(folder.Write("out.csv", "old\r\n"));
    Write_UTF8_Text(*file, c.text, c.line_end);
    file->Close();
    EXPECT_EQ(folder.Read("out.csv"), "old\r\n" + c.bytes) << c.what;
  }
}

TEST(Utf8Output, EveryFailureOfTheFileReachesTheCaller) {
  testing::TempFolder folder;
  EXPECT_EQ(FailureNumberOf([&] { Open_UTF8_File(folder / "missing/out.csv"); }),
            Number(ErrorNumber::PathNotFound));
  EXPECT_EQ(FailureNumberOf([&] { Open_UTF8_File(folder / ""); }), Number(ErrorNumber::PathFileAccessError));
  for (const auto call :
       {fakes::FileCall::Write, fakes::FileCall::Flush, fakes::FileCall::Sync, fakes::FileCall::Close}) {
    fakes::FailingFileSystem files(call, ErrorNumber::DiskFull);
    EXPECT_EQ(FailureNumberOf([&] {
                auto file = Open_UTF8_File(folder / "out.csv", files);
                Write_UTF8_Text(*file, "Muster, Erika (BT);+49 (30) 1234567", true);
                file->Close();
              }),
              Number(ErrorNumber::DiskFull));
  }
}

}  // namespace
}  // namespace fernkartei::support
