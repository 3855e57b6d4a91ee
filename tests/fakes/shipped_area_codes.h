#pragma once
// For whole export runs: the area-code database the build ships, opened once per test suite, and the
// settings file of a program folder of the test's own.

#include <gtest/gtest.h>

#include <string>

#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/temp_folder.h"

namespace fernkartei::fakes {

class ShippedAreaCodesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    phone::DB_Connection =
        phone::OpenAreaCodeDatabase(phone::Jet4(std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb"));
    phone::Area_Table_Exists = phone::ExistTabel(phone::DB_Connection.get(), "sVorwahlen");
  }
  static void TearDownTestSuite() {
    phone::Area_Table_Exists = false;
    phone::DB_Connection.reset();
  }
  void SetUp() override {
    support::App_Title = "Fernkartei";
    support::INI_Path = folder / "system.ini";
  }

  testing::TempFolder folder;
};

}  // namespace fernkartei::fakes
