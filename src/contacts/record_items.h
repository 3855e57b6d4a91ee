#pragma once
// A folder's items over contact records that are already read: enumeration, and sorting by a property
// under German collation, stable for equal values. Every source that reads vCards hands its records here.

#include <memory>
#include <vector>

#include "contacts/contact_record.h"
#include "export/contact_source.h"

namespace fernkartei::contacts {

using Records = std::vector<ContactRecord>;

// Enumerates the records in their given order until sorted.
std::unique_ptr<exporting::ContactItems> MakeRecordItems(std::shared_ptr<const Records> records);

}  // namespace fernkartei::contacts
