// Which source serves a folder setting on Windows: paths are vCards, everything else is Outlook's.

#include "contacts/contact_sources.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "contacts/outlook/outlook_source.h"
#include "support/temp_folder.h"

namespace fernkartei::contacts {
namespace {

TEST(WindowsContactSources, PathsAreVCardsEverythingElseIsOutlook) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.path() / "karten");
  const auto old_folder = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());  // "karten" is a relative path
  struct Case {
    std::string setting;
    bool vcards;
  };
  const Case cases[] = {
      {"", false},
      {"10", false},
      {"Kontakte", false},
      {"karten", true},
      {"C:\\Users\\J\xC3\xB6rg\\Kontakte", true},
      {"\\\\server\\karten", true},
      {"D:", true},
      {"alle.VCF", true},
      {folder.path().string(), true},
  };
  const auto sources = MakeContactSourceFactory("C:\\Fernkartei");
  for (const auto& c : cases) {
    const auto source = sources(c.setting, {});
    EXPECT_EQ(dynamic_cast<VCardSource*>(source.get()) != nullptr, c.vcards) << c.setting;
    EXPECT_EQ(dynamic_cast<OutlookSource*>(source.get()) != nullptr, !c.vcards) << c.setting;
  }
  std::filesystem::current_path(old_folder);
}

}  // namespace
}  // namespace fernkartei::contacts
