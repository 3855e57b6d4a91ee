// A user's own Access file on Windows goes to the system's provider, which this build does not drive
// yet: opening it fails clearly, as any area-code database that cannot be opened does.

#include <gtest/gtest.h>

#include "phone/area_code_database.h"
#include "support/failure.h"

namespace fernkartei::phone {
namespace {

TEST(WindowsAccessFile, FailsToOpenWithAClearMessage) {
  try {
    OpenAreaCodeDatabase(Jet4(std::string(FERNKARTEI_TEST_DATA) + "/access/testV2000.mdb"));
    FAIL() << "opened";
  } catch (const support::Failure& failure) {
    EXPECT_EQ(failure.number(), static_cast<int>(support::ErrorNumber::CannotCreateObject));
    EXPECT_NE(failure.description().find("Access-Datei"), std::string::npos) << failure.description();
  }
}

}  // namespace
}  // namespace fernkartei::phone
