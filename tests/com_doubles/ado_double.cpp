// "ADODB.Connection" and "ADODB.Recordset" for the tests, in place of Jet, which Wine lacks. The database
// is a text file: whatever comes before the first table line (an Access signature, say) is passed over,
// "table sVorwahlen Ortsnetzkennzahl" starts a table of one column, every further line is a row of it.
// Jet 4.0 refuses .accdb files, as the real one does; ACE 12.0 opens both. Every call goes to the journal
// beside the database (its path + ".log").

#include <map>
#include <regex>
#include <sstream>

#include "com_doubles/com_double.h"

namespace fernkartei::doubles {
namespace {

struct Table {
  std::wstring column;
  std::vector<std::wstring> rows;
};
using Tables = std::map<std::wstring, Table>;

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && _wcsicmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

std::wstring Setting(const std::wstring& connection, const std::wstring& key) {
  std::wistringstream parts(connection);
  std::wstring part;
  while (std::getline(parts, part, L';'))
    if (part.size() > key.size() && _wcsnicmp(part.c_str(), (key + L"=").c_str(), key.size() + 1) == 0)
      return part.substr(key.size() + 1);
  return {};
}

class Connection final : public Object {
 public:
  explicit Connection(std::shared_ptr<Session> session) : Object(std::move(session), L"Connection") {
    Add(L"Open", [this](Call& call) { return Open(call); });
  }
  std::shared_ptr<const Tables> tables() const { return tables_; }
  Session& session() const { return *session_; }

 private:
  HRESULT Open(Call& call) {
    std::wstring text;
    if (!call.Text(0, text)) return DISP_E_TYPEMISMATCH;
    const std::wstring provider = Setting(text, L"Provider");
    const std::wstring path = Setting(text, L"Data Source");
    if (provider != L"Microsoft.Jet.OLEDB.4.0" && provider != L"Microsoft.ACE.OLEDB.12.0")
      return call.Raise(L"Provider cannot be found. It may not be properly installed.");
    if (provider == L"Microsoft.Jet.OLEDB.4.0" && EndsWith(path, L".accdb"))
      return call.Raise(L"Unrecognized database format.");
    std::vector<std::wstring> lines;
    if (!ReadLines(path, lines)) return call.Raise((L"Could not find file '" + path + L"'.").c_str());
    // The journal of this database: opened here, once the file is known.
    session_ = std::make_shared<Session>(path + L".log");
    session_->Record(L"Connection.Open(" + text + L")");
    auto tables = std::make_shared<Tables>();
    Table* table = nullptr;
    for (const std::wstring& line : lines) {
      std::wistringstream words(line);
      std::wstring word, name, column;
      if (words >> word >> name >> column && word == L"table") {
        table = &(*tables)[name];
        table->column = column;
      } else if (table != nullptr) {
        table->rows.push_back(line);
      }
    }
    tables_ = tables;
    return S_OK;
  }

  std::shared_ptr<const Tables> tables_;
};

class Recordset final : public Object {
 public:
  explicit Recordset(std::shared_ptr<Session> session) : Object(std::move(session), L"") {
    Add(L"Open", [this](Call& call) { return Open(call); });
    Add(L"EOF", [this](Call& call) {
      if (!open_) return call.Raise(L"Operation is not allowed when the object is closed.");
      V_VT(call.result) = VT_BOOL;
      V_BOOL(call.result) = position_ >= rows_.size() ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    });
    Add(L"GetRows", [this](Call& call) {
      if (!open_ || position_ >= rows_.size()) return call.Raise(L"Either BOF or EOF is True.");
      // Fields by rows, as GetRows gives them; with one field the rows lie one after the other.
      SAFEARRAYBOUND bounds[2] = {{1, 0}, {static_cast<ULONG>(rows_.size() - position_), 0}};
      SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
      VARIANT* values = nullptr;
      SafeArrayAccessData(array, reinterpret_cast<void**>(&values));
      for (; position_ < rows_.size(); ++position_, ++values) Return(values, rows_[position_]);
      SafeArrayUnaccessData(array);
      V_VT(call.result) = VT_ARRAY | VT_VARIANT;
      V_ARRAY(call.result) = array;
      return S_OK;
    });
    Add(L"Close", [this](Call&) {
      open_ = false;
      return S_OK;
    });
  }

 private:
  HRESULT Open(Call& call) {
    std::wstring query;
    long cursor = 0;
    long lock = 0;
    auto* connection = call.arguments.size() > 1 && V_VT(call.arguments[1]) == VT_DISPATCH
                           ? dynamic_cast<Connection*>(V_DISPATCH(call.arguments[1]))
                           : nullptr;
    if (!call.Text(0, query) || connection == nullptr || !connection->tables() || !call.Number(2, cursor) ||
        !call.Number(3, lock))
      return call.Raise(L"Arguments are of the wrong type, are out of acceptable range, or are in conflict.");
    connection->session().Record(L"Recordset.Open(" + query + L", " + std::to_wstring(cursor) + L", " +
                                 std::to_wstring(lock) + L")");
    static const std::wregex kQuery(
        LR"(SELECT (Top 1 )?(\*|\[(\w+)\]) FROM (\w+)( where \(\[(\w+)\] Like \('([^'%]*)%'\)\))?)",
        std::regex::icase);
    std::wsmatch parts;
    if (!std::regex_match(query, parts, kQuery)) return call.Raise(L"Syntax error in query.");
    const auto table = connection->tables()->find(parts[4].str());
    if (table == connection->tables()->end())
      return call.Raise(L"The Microsoft Jet database engine cannot find the input table or query.");
    for (const auto& column : {parts[3].str(), parts[6].str()})
      if (!column.empty() && _wcsicmp(column.c_str(), table->second.column.c_str()) != 0)
        return call.Raise(L"No value given for one or more required parameters.");
    rows_.clear();
    for (const std::wstring& row : table->second.rows)
      if (row.rfind(parts[7].str(), 0) == 0 && !(parts[1].matched && !rows_.empty())) rows_.push_back(row);
    position_ = 0;
    open_ = true;
    return S_OK;
  }

  std::vector<std::wstring> rows_;
  std::size_t position_ = 0;
  bool open_ = false;
};

}  // namespace

const std::vector<ServerClass>& ServerClasses() {
  static const std::vector<ServerClass> classes = {
      {{0x5f1c3a2e, 0x7d4b, 0x4c1e, {0x9a, 0x61, 0x2b, 0x8e, 0x40, 0x11, 0xc7, 0x02}},
       L"ADODB.Connection",
       [] { return static_cast<IDispatch*>(new Connection(std::make_shared<Session>(L""))); }},
      {{0x5f1c3a2e, 0x7d4b, 0x4c1e, {0x9a, 0x61, 0x2b, 0x8e, 0x40, 0x11, 0xc7, 0x03}},
       L"ADODB.Recordset",
       [] { return static_cast<IDispatch*>(new Recordset(std::make_shared<Session>(L""))); }},
  };
  return classes;
}

}  // namespace fernkartei::doubles
