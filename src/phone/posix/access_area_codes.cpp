// A user's Access file read once with libmdb: the table names and the area-code column, answered from
// memory afterwards.

#include "phone/access_area_codes.h"

#include <vector>

#include "phone/area_code_database.h"
#include "phone/area_code_index.h"
#include "phone/posix/access_file.h"
#include "support/text.h"

namespace fernkartei::phone {
namespace {

class AccessAreaCodes final : public AreaCodeDatabase {
 public:
  AccessAreaCodes(const std::string& path, const DatabaseReadLimits& limits) {
    AccessContents contents = ReadAccessFile(path, kAreaCodeTable, kAreaCodeColumn, limits);
    tables_ = std::move(contents.tables);
    if (contents.column) codes_ = std::move(*contents.column);
    for (const auto& code : codes_) index_.Add(code);
  }

  bool CanQueryTable(const std::string& table) override {
    for (const auto& name : tables_)
      if (support::EqualsIgnoringAsciiCase(name, table)) return true;
    return false;
  }
  std::string LongestCodePrefix(std::string_view key) const override {
    return std::string(index_.LongestCodePrefix(key));
  }
  // The file was read once at open; the slow route asks the column's values one by one, as a query would.
  bool AnyCodeBeginsWith(std::string_view prefix) override {
    for (const auto& code : codes_)
      if (code.starts_with(prefix)) return true;
    return false;
  }

 private:
  std::vector<std::string> tables_;
  std::vector<std::string> codes_;
  AreaCodeIndex index_;
};

}  // namespace

std::unique_ptr<AreaCodeDatabase> OpenAccessAreaCodes(const std::string& path,
                                                      const DatabaseReadLimits& limits) {
  return std::make_unique<AccessAreaCodes>(path, limits);
}

}  // namespace fernkartei::phone
