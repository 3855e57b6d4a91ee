// A user's own Access file on Windows, read through ADO with the system's Jet 4.0 provider (ACE 12.0 when
// Jet cannot open the file), late-bound by class name as the old program did.

#include "phone/access_area_codes.h"

#include <string_view>

#include "phone/area_code_database.h"
#include "phone/area_code_index.h"
#include "support/error_log.h"
#include "support/failure.h"
#include "support/windows/automation.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;
using support::automation::ComApartment;
using support::automation::Dispatch;
using support::automation::Variant;

// Cursor and lock types of the queries whose answer is only whether a row comes back.
constexpr std::int32_t kOpenKeyset = 1;
constexpr std::int32_t kLockOptimistic = 3;
// Reading every code once needs neither.
constexpr std::int32_t kOpenForwardOnly = 0;
constexpr std::int32_t kLockReadOnly = 1;

constexpr std::string_view kJetProvider = "Provider=Microsoft.Jet.OLEDB.4.0;";
constexpr std::string_view kAceProvider = "Provider=Microsoft.ACE.OLEDB.12.0;";

class AdoAreaCodes final : public AreaCodeDatabase {
 public:
  explicit AdoAreaCodes(const std::string& path)
      : apartment_(support::automation::JoinComApartment()),
        connection_(Dispatch::Create("ADODB.Connection")) {
    Open(path);
    LoadIndex();
  }

  bool CanQueryTable(const std::string& table) override {
    Dispatch records;
    try {
      records = Dispatch::Create("ADODB.Recordset");
    } catch (const Failure& failure) {
      support::Write_Error_Log("mdlADOXModul!Function ExistTabel()", failure, 3);
    }
    try {
      Query(records, "SELECT Top 1 * FROM " + table, kOpenKeyset, kLockOptimistic);
      records.Call("Close");
      return true;
    } catch (const Failure&) {
      return false;
    }
  }

  std::string LongestCodePrefix(std::string_view key) const override {
    return std::string(index_.LongestCodePrefix(key));
  }

  bool AnyCodeBeginsWith(std::string_view prefix) override {
    try {
      const Dispatch records = Dispatch::Create("ADODB.Recordset");
      Query(records,
            std::string("SELECT Top 1 * FROM ") + kAreaCodeTable + " where ([" + kAreaCodeColumn +
                "] Like ('" + std::string(prefix) + "%'))",
            kOpenKeyset, kLockOptimistic);
      const bool found = !records.Get("EOF").ToBool();
      records.Call("Close");
      return found;
    } catch (const Failure&) {
      return false;
    }
  }

 private:
  void Query(const Dispatch& records, const std::string& text, std::int32_t cursor, std::int32_t lock) const {
    records.Call("Open", {Variant::Text(text), Variant::Object(connection_), Variant::Int(cursor),
                          Variant::Int(lock)});
  }

  void Open(const std::string& path) {
    const std::string jet = Jet4(path);
    try {
      connection_.Call("Open", {Variant::Text(jet)});
    } catch (const Failure& jet_failure) {
      // Jet 4.0 reads no .accdb file and exists for 32-bit programs only; Office's ACE provider reads both.
      try {
        const std::string ace = std::string(kAceProvider) +
                                (jet.starts_with(kJetProvider) ? jet.substr(kJetProvider.size()) : jet);
        connection_.Call("Open", {Variant::Text(ace)});
      } catch (const Failure&) {
        throw Failure(static_cast<ErrorNumber>(jet_failure.number()), "Die Vorwahl-Datenbank " + path +
                                                                          " kann nicht geöffnet werden (" +
                                                                          jet_failure.description() + ").");
      }
    }
  }

  // The codes are read once; every lookup after that is answered from memory.
  void LoadIndex() {
    try {
      const Dispatch records = Dispatch::Create("ADODB.Recordset");
      Query(records, std::string("SELECT [") + kAreaCodeColumn + "] FROM " + kAreaCodeTable, kOpenForwardOnly,
            kLockReadOnly);
      if (!records.Get("EOF").ToBool()) {
        for (const std::string& code : records.Get("GetRows").ToTexts()) index_.Add(code);
      }
      records.Call("Close");
    } catch (const Failure&) {
      // Without the table or the column every prefix query fails, which the empty index answers alike.
    }
  }

  std::shared_ptr<ComApartment> apartment_;
  Dispatch connection_;
  AreaCodeIndex index_;
};

}  // namespace

// Read in process: the provider, not the program, parses the file.
std::unique_ptr<AreaCodeDatabase> OpenAccessAreaCodes(const std::string& path, const DatabaseReadLimits&) {
  return std::make_unique<AdoAreaCodes>(path);
}

}  // namespace fernkartei::phone
