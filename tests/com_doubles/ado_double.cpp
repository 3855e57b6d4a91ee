// "ADODB.Connection" and "ADODB.Recordset" for the tests, in place of Jet, which Wine lacks. The database
// is a text file: whatever comes before the first table line (an Access signature, say) is passed over,
// "table sVorwahlen Ortsnetzkennzahl" starts a table of one column, every further line is a row of it.
// Jet 4.0 refuses .accdb files, as the real one does; ACE 12.0 opens both. The connection string goes to
// the journal beside the database (its path + ".log").

#include <map>
#include <regex>

#include "com_doubles/com_double.h"

namespace fernkartei::doubles {
namespace {

// The value of one key of a connection string.
std::wstring Setting(const std::wstring& connection, const std::wstring& key) {
  std::wsmatch found;
  return std::regex_search(connection, found, std::wregex(key + L"=([^;]*)")) ? found[1].str() : L"";
}

class Connection final : public Object {
 public:
  Connection() : Object(std::make_shared<Session>(), L"Connection") {
    Add(L"Open", [this](Call& call) { return Open(call); });
  }
  std::map<std::wstring, std::vector<std::wstring>> tables;

 private:
  HRESULT Open(Call& call) {
    const std::wstring text = call.Text(0);
    const std::wstring provider = Setting(text, L"Provider"), path = Setting(text, L"Data Source");
    const bool jet = provider == L"Microsoft.Jet.OLEDB.4.0";
    if (!jet && provider != L"Microsoft.ACE.OLEDB.12.0") return call.Raise(L"Provider cannot be found.");
    if (jet && path.ends_with(L".accdb")) return call.Raise(L"Unrecognized database format.");
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
      return call.Raise(L"Could not find file '" + path + L"'.");
    session_->journal.open((path + L".log").c_str(), std::ios::binary | std::ios::app);
    session_->Record(L"Connection.Open(" + text + L")");
    static const std::wregex kTable(L"table (\\w+) \\w+");
    std::vector<std::wstring>* rows = nullptr;
    for (const std::wstring& line : ReadLines(path)) {
      std::wsmatch table;
      if (std::regex_match(line, table, kTable))
        rows = &tables[table[1].str()];
      else if (rows != nullptr)
        rows->push_back(line);
    }
    return S_OK;
  }
};

class Recordset final : public Object {
 public:
  Recordset() : Object(std::make_shared<Session>(), L"") {
    Add(L"Open", [this](Call& call) { return Open(call); });
    Add(L"EOF", [this](Call& call) {
      V_VT(call.result) = VT_BOOL;
      V_BOOL(call.result) = position_ >= rows_.size() ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
    Add(L"GetRows", [this](Call& call) {
      // Fields by rows, as GetRows gives them; with one field the rows lie one after the other.
      SAFEARRAYBOUND bounds[2] = {{1, 0}, {static_cast<ULONG>(rows_.size() - position_), 0}};
      SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
      VARIANT* values = nullptr;
      SafeArrayAccessData(array, reinterpret_cast<void**>(&values));
      for (; position_ < rows_.size(); ++position_) Return(values++, rows_[position_]);
      SafeArrayUnaccessData(array);
      V_VT(call.result) = VT_ARRAY | VT_VARIANT;
      V_ARRAY(call.result) = array;
      return S_OK;
    });
    Add(L"Close", [](Call&) { return S_OK; });
  }

 private:
  HRESULT Open(Call& call) {
    const std::wstring query = call.Text(0);
    long cursor = 0, lock = 0;
    auto* connection = call.arguments.size() > 1 && V_VT(call.arguments[1]) == VT_DISPATCH
                           ? dynamic_cast<Connection*>(V_DISPATCH(call.arguments[1]))
                           : nullptr;
    if (connection == nullptr || !call.Number(2, cursor) || !call.Number(3, lock))
      return call.Raise(L"Arguments are of the wrong type, are out of acceptable range, or are in conflict.");
    static const std::wregex kQuery(
        LR"(SELECT (Top 1 )?(\*|\[\w+\]) FROM (\w+)( where \(\[\w+\] Like \('([^'%]*)%'\)\))?)",
        std::regex::icase);
    std::wsmatch parts;
    if (!std::regex_match(query, parts, kQuery)) return call.Raise(L"Syntax error in query.");
    const auto table = connection->tables.find(parts[3].str());
    if (table == connection->tables.end())
      return call.Raise(L"The Microsoft Jet database engine cannot find the input table or query.");
    rows_.clear();
    for (const std::wstring& row : table->second)
      if (row.starts_with(parts[5].str()) && !(parts[1].matched && !rows_.empty())) rows_.push_back(row);
    position_ = 0;
    return S_OK;
  }

  std::vector<std::wstring> rows_;
  std::size_t position_ = 0;
};

template <typename Class>
IDispatch* New() {
  return new Class();
}

}  // namespace

const std::vector<ServerClass> kServerClasses = {{2, L"ADODB.Connection", &New<Connection>},
                                                 {3, L"ADODB.Recordset", &New<Recordset>}};

}  // namespace fernkartei::doubles
