// Which source serves a folder setting on Windows: paths are vCards, everything else is Outlook's.

#include "contacts/contact_sources.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/failure.h"
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
  for (const auto& c : cases) {
    std::vector<std::string> notes;
    const auto sources =
        MakeContactSourceFactory("C:\\Fernkartei", [&](const std::string& n) { notes.push_back(n); });
    if (c.vcards) {
      EXPECT_NE(dynamic_cast<VCardSource*>(sources(c.setting, {}).get()), nullptr) << c.setting;
      EXPECT_TRUE(notes.empty()) << c.setting;
    } else {
      EXPECT_THROW(sources(c.setting, {}), support::Failure) << c.setting;
      ASSERT_EQ(notes.size(), 1u) << c.setting;
      EXPECT_NE(notes[0].find("Outlook"), std::string::npos) << notes[0];
    }
  }
  std::filesystem::current_path(old_folder);
}

}  // namespace
}  // namespace fernkartei::contacts
