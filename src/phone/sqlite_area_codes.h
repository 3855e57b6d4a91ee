#pragma once
// The area codes in an SQLite file: the database the build makes, or one a user points DatabaseName at.
// A user's file is read within limits of time and memory, because a crafted view can make a query run
// for ever or build values of any size.

#include <memory>
#include <string>

#include "phone/area_code_database.h"

namespace fernkartei::phone {

// Reads the codes into the index at once. Throws support::Failure for a file that cannot be opened,
// that another program holds locked (FileInUse), that is damaged, or whose reading takes more than the
// limits allow.
std::unique_ptr<AreaCodeDatabase> OpenSqliteAreaCodes(const std::string& path,
                                                      const DatabaseReadLimits& limits);

}  // namespace fernkartei::phone
