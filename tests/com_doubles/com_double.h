#pragma once
// The little in-process COM server the test doubles are built from: automation objects whose members
// are functions, found by name without regard to case; an enumerator over a list; a journal of every
// call, each of which may be slowed down as a call into another process would be; the class factory and
// registration of the DLL. Each double is one source file that includes this header and defines
// ServerClasses(); the DLL's entry points are defined here, so no other file of the DLL includes it.

#include <oaidl.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fernkartei::doubles {

inline std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(
      WideCharToMultiByte(CP_UTF8, 0, text.data(), text.size(), out.data(), out.size(), nullptr, nullptr));
  return out;
}

inline std::wstring Wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  out.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), text.size(), out.data(), out.size()));
  return out;
}

inline std::wstring EnvironmentValue(const wchar_t* name) {
  std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), value.size()));
  return value;
}

// The lines of a UTF-8 text file without their line ends.
inline std::vector<std::wstring> ReadLines(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::vector<std::wstring> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(Wide(line));
  }
  return lines;
}

// What the objects of one double share: the journal the calls go to (one line each, UTF-8) and how long
// each call takes at least.
struct Session {
  explicit Session(const std::wstring& journal_path, long long delay_microseconds = 0)
      : delay(delay_microseconds) {
    if (!journal_path.empty()) journal = _wfopen(journal_path.c_str(), L"ab");
  }
  ~Session() {
    if (journal != nullptr) std::fclose(journal);
  }
  void Record(const std::wstring& line) const {
    if (journal == nullptr) return;
    std::fputs((Utf8(line) + "\n").c_str(), journal);
    std::fflush(journal);
  }
  // Waits busily: a call into Outlook's process takes tens of microseconds, far below Sleep's millisecond.
  void Delay() const {
    const auto end = std::chrono::steady_clock::now() + delay;
    while (delay.count() > 0 && std::chrono::steady_clock::now() < end) {
    }
  }

  std::FILE* journal = nullptr;
  std::chrono::microseconds delay;
};

// One call of a member: its arguments first to last, where the result goes, and the exception to fill.
struct Call {
  std::vector<VARIANT*> arguments;
  VARIANT* result;
  EXCEPINFO* exception;

  // The argument converted as the real servers convert it; false when it does not convert.
  bool Converted(std::size_t index, VARTYPE type, VARIANT& out) const {
    VariantInit(&out);
    return index < arguments.size() &&
           SUCCEEDED(VariantChangeType(&out, arguments[index], VARIANT_ALPHABOOL, type));
  }
  bool Text(std::size_t index, std::wstring& out) const {
    VARIANT text;
    if (!Converted(index, VT_BSTR, text)) return false;
    out.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    VariantClear(&text);
    return true;
  }
  bool Number(std::size_t index, long& out) const {
    VARIANT number;
    if (!Converted(index, VT_I4, number)) return false;
    out = V_I4(&number);
    return true;
  }
  // Fails the call the way automation servers report their own errors.
  HRESULT Raise(const std::wstring& description) const {
    if (exception == nullptr) return E_FAIL;
    *exception = EXCEPINFO{};
    exception->bstrDescription = SysAllocString(description.c_str());
    exception->scode = E_FAIL;
    return DISP_E_EXCEPTION;
  }
};
using Member = std::function<HRESULT(Call&)>;

// Sets *result to an object (the reference passes to the caller), a text or a number.
inline HRESULT Return(VARIANT* result, IDispatch* object) {
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = object;
  return S_OK;
}
inline HRESULT Return(VARIANT* result, const std::wstring& text) {
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return S_OK;
}
inline HRESULT Return(VARIANT* result, long number) {
  V_VT(result) = VT_I4;
  V_I4(result) = number;
  return S_OK;
}
// A property that always gives the same value.
template <typename Value>
Member Constant(Value value) {
  return [value](Call& call) { return Return(call.result, value); };
}

// IUnknown for an object with one interface besides it, deleted with its last reference.
template <typename Interface>
class Counted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == __uuidof(Interface) ? this : nullptr;
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (--references_ != 0) return references_;
    delete this;
    return 0;
  }

 protected:
  virtual ~Counted() = default;

 private:
  ULONG references_ = 1;
};

// An automation object. `kind` names it in the journal; an empty kind keeps its calls out of it.
class Object : public Counted<IDispatch> {
 public:
  Object(std::shared_ptr<Session> session, std::wstring kind)
      : session_(std::move(session)), kind_(std::move(kind)) {}
  // DISPID_UNKNOWN picks the next free id.
  void Add(std::wstring name, Member member, DISPID id = DISPID_UNKNOWN) {
    members_.push_back({std::move(name), id == DISPID_UNKNOWN ? next_id_++ : id, std::move(member)});
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    session_->Delay();
    Record(L"GetIDsOfNames " + kind_ + L"." + names[0]);
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    for (const Entry& entry : members_)
      if (_wcsicmp(entry.name.c_str(), names[0]) == 0) ids[0] = entry.id;
    return count == 1 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    session_->Delay();
    const auto entry =
        std::find_if(members_.begin(), members_.end(), [id](const Entry& entry) { return entry.id == id; });
    if (entry == members_.end()) return DISP_E_MEMBERNOTFOUND;
    VARIANT ignored;
    VariantInit(&ignored);
    Call call{{}, result != nullptr ? result : &ignored, exception};
    std::wstring line = kind_ + L"." + entry->name + L"(";
    for (UINT i = parameters->cArgs; i-- > 0;) {
      VARIANT* argument = &parameters->rgvarg[i];
      call.arguments.push_back(V_VT(argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(argument) : argument);
      std::wstring text;
      line += (call.arguments.size() == 1 ? L"" : L", ") +
              (call.Text(call.arguments.size() - 1, text) ? text : L"?");
    }
    Record(line + L")");
    const HRESULT outcome = entry->member(call);
    VariantClear(&ignored);
    return outcome;
  }

 protected:
  ~Object() override { Record(L"release " + kind_); }
  void Record(const std::wstring& line) const {
    if (!kind_.empty()) session_->Record(line);
  }
  std::shared_ptr<Session> session_;

 private:
  struct Entry {
    std::wstring name;
    DISPID id;
    Member member;
  };
  std::wstring kind_;
  std::vector<Entry> members_;
  DISPID next_id_ = 1;
};

// _NewEnum of a collection: hands out the elements once each; from element `fail_at` on, it fails the way
// Outlook's proxy reports a store that went away.
class Enumeration final : public Counted<IEnumVARIANT> {
 public:
  Enumeration(std::shared_ptr<Session> session, std::vector<IDispatch*> elements, std::size_t fail_at)
      : session_(std::move(session)), elements_(std::move(elements)), fail_at_(fail_at) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    session_->Delay();
    session_->Record(L"Next");
    ULONG given = 0;
    for (; given < count && position_ < elements_.size(); ++given, ++position_) {
      if (position_ >= fail_at_) return RPC_E_DISCONNECTED;
      // The reference passes to the caller, as from a store that makes each item as it is asked for.
      VariantInit(&out[given]);
      Return(&out[given], std::exchange(elements_[position_], nullptr));
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  ~Enumeration() override {
    for (IDispatch* element : elements_)
      if (element != nullptr) element->Release();
  }
  std::shared_ptr<Session> session_;
  std::vector<IDispatch*> elements_;
  std::size_t fail_at_;
  std::size_t position_ = 0;
};

// What the DLL offers: each double defines this table.
struct ServerClass {
  CLSID clsid;
  const wchar_t* prog_id;
  std::function<IDispatch*()> create;
};
const std::vector<ServerClass>& ServerClasses();

class Factory final : public Counted<IClassFactory> {
 public:
  explicit Factory(const ServerClass& server_class) : server_class_(server_class) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IDispatch* object = server_class_.create();
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const ServerClass& server_class_;
};

inline bool SetRegistryText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace fernkartei::doubles

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  *out = nullptr;
  for (const auto& server_class : fernkartei::doubles::ServerClasses()) {
    if (!IsEqualCLSID(clsid, server_class.clsid)) continue;
    auto* factory = new fernkartei::doubles::Factory(server_class);
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return S_FALSE;
}

// Each class in process, in the apartment of its caller, found by its ProgID. Nothing unregisters: the
// tests' Wine prefix is theirs alone.
STDAPI DllRegisterServer() {
  using fernkartei::doubles::SetRegistryText;
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&DllRegisterServer), &self);
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(self, module, MAX_PATH);
  for (const auto& server_class : fernkartei::doubles::ServerClasses()) {
    wchar_t clsid[40];
    StringFromGUID2(server_class.clsid, clsid, 40);
    const std::wstring server = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    if (!SetRegistryText(server, nullptr, module) ||
        !SetRegistryText(server, L"ThreadingModel", L"Apartment") ||
        !SetRegistryText(std::wstring(server_class.prog_id) + L"\\CLSID", nullptr, clsid))
      return SELFREG_E_CLASS;
  }
  return S_OK;
}
}
