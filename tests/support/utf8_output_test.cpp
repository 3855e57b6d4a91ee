#include "support/utf8_output.h"

#include <gtest/gtest.h>

#include "fakes/failing_file_system.h"
#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

using testing::FailureNumberOf;
using testing::Number;

// Appended to what is there, without byte-order mark; what is not UTF-8 leaves as U+FFFD.
TEST(Utf8Output, WritesWellFormedUtf8WithOptionalCrLf) {
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"\xE2\x82\xAC", true, "\xE2\x82\xAC\r\n"},
      {"\xF0\x9F\x93\x9E", false, "\xF0\x9F\x93\x9E"},
      {"a\xED\xA0\x80z", false, "a\xEF\xBF\xBDz"},  // a lone surrogate is one character
  };
  for (const auto& [text, line_end, bytes] : cases) {
    testing::TempFolder folder;
    auto file = Open_UTF8_File(folder.Write("out.csv", "old\r\n"));
    Write_UTF8_Text(*file, text, line_end);
    file->Close();
    EXPECT_EQ(folder.Read("out.csv"), "old\r\n" + bytes) << text;
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
                Write_UTF8_Text(*file, "x", true);
                file->Close();
              }),
              Number(ErrorNumber::DiskFull));
  }
}

}  // namespace
}  // namespace fernkartei::support
