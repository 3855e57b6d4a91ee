// A user's own Access file on Windows is read through the system's OLE DB provider (ADO), which is not
// part of this build yet: such a file fails to open with a clear message, as any area-code database
// that cannot be opened does.

#include "phone/access_area_codes.h"

#include "phone/area_code_database.h"
#include "support/failure.h"

namespace fernkartei::phone {

std::unique_ptr<AreaCodeDatabase> OpenAccessAreaCodes(const std::string& path, const DatabaseReadLimits&) {
  throw support::Failure(support::ErrorNumber::CannotCreateObject,
                         "Die Access-Datei " + path + " kann diese Version unter Windows noch nicht lesen.");
}

}  // namespace fernkartei::phone
