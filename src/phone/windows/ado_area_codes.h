#pragma once
// A user's Access area-code file on Windows, read through ADO with Jet 4.0 (ACE 12.0 when Jet cannot
// open the file), late-bound by class name.

#include <memory>
#include <string>

#include "phone/area_code_database.h"

namespace fernkartei::phone {

// Opens the file with the Jet4 connection string and reads the area codes once. Throws
// support::Failure when neither provider opens it.
std::unique_ptr<AreaCodeDatabase> OpenAdoAreaCodes(const std::string& path);

}  // namespace fernkartei::phone
