// Which source serves a folder setting on Windows: paths are vCards, everything else is Outlook's.

#include "contacts/contact_sources.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "contacts/outlook/outlook_source.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::contacts {
namespace {

TEST(WindowsContactSources, PathsAreVCardsEverythingElseIsOutlook) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.path() / "karten");
  const auto old_folder = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());  // "karten" is a relative path
  const std::pair<std::string, bool> cases[] = {
      // setting, served by vCards
      {"", false},        {"10", false}, {"Kontakte", false},
      {"karten", true},   {"D:", true},  {"\\\\server\\karten", true},
      {"alle.VCF", true},
  };
  const auto sources = MakeContactSourceFactory("C:\\Fernkartei");
  for (const auto& [setting, vcards] : cases) {
    const auto source = sources(setting, {});
    EXPECT_EQ(dynamic_cast<VCardSource*>(source.get()) != nullptr, vcards) << setting;
    EXPECT_EQ(dynamic_cast<OutlookSource*>(source.get()) != nullptr, !vcards) << setting;
  }
  std::filesystem::current_path(old_folder);
}

}  // namespace
}  // namespace fernkartei::contacts
