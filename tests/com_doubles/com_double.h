#pragma once
// The little in-process COM server the test doubles are built from: automation objects whose members
// are functions, found by name without regard to case; an enumerator that makes its elements as they
// are asked for; a journal of every call, each of which may be slowed down as a call into another
// process would be; the class factory and registration of the DLL. Each double is one source file that
// includes this header and defines kServerClasses; the DLL's entry points are defined here, so no other
// file of the DLL includes it.

#include <oaidl.h>
#include <olectl.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace fernkartei::doubles {

// The lines of a UTF-8 text file without their line ends.
inline std::vector<std::wstring> ReadLines(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::vector<std::wstring> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();
    std::wstring& wide = lines.emplace_back(line.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, line.data(), line.size(), wide.data(), wide.size()));
  }
  return lines;
}

// What the objects of one double share: the journal the calls go to (one line each, UTF-8; none while
// it is not open) and how long each call takes at least.
struct Session {
  std::ofstream journal;
  std::chrono::microseconds delay{0};

  void Record(const std::wstring& line) {
    // Waits busily: a call into Outlook's process takes tens of microseconds, far below Sleep's millisecond.
    for (const auto end = std::chrono::steady_clock::now() + delay; std::chrono::steady_clock::now() < end;) {
    }
    if (!journal.is_open()) return;
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.data(), line.size(), utf8.data(), utf8.size(), nullptr,
                                    nullptr));
    journal << utf8 << std::endl;
  }
};

// One call of a member: its arguments first to last, each also as text ("?" where it has none, Booleans
// as "True" and "False"), where the result goes, and the exception to fill.
struct Call {
  std::vector<VARIANT*> arguments;
  std::vector<std::wstring> texts;
  VARIANT* result;
  EXCEPINFO* exception;

  std::wstring Text(std::size_t index) const { return index < texts.size() ? texts[index] : L"?"; }
  // The argument as a number, converted as the real servers convert a text; false when it is none.
  bool Number(std::size_t index, long& out) const {
    const std::wstring text = Text(index);
    wchar_t* end = nullptr;
    out = std::wcstol(text.c_str(), &end, 10);
    return !text.empty() && *end == L'\0';
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
template <typename Value>
HRESULT Return(VARIANT* result, const Value& value) {
  if constexpr (std::is_convertible_v<Value, IDispatch*>) {
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = value;
  } else if constexpr (std::is_same_v<Value, long>) {
    V_VT(result) = VT_I4;
    V_I4(result) = value;
  } else {
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  }
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

// The interface asked for of a new object, whose own reference then goes.
template <typename Object>
HRESULT Hand(Object* object, REFIID iid, void** out) {
  const HRESULT result = object->QueryInterface(iid, out);
  object->Release();
  return result;
}

// An automation object. `kind` names it in the journal; an empty kind keeps its calls out of it.
class Object : public Counted<IDispatch> {
 public:
  Object(std::shared_ptr<Session> session, std::wstring kind)
      : session_(std::move(session)), kind_(std::move(kind)) {}
  // DISPID_UNKNOWN picks the next free id.
  void Add(std::wstring name, Member member, DISPID id = DISPID_UNKNOWN) {
    members_.push_back({std::move(name), id == DISPID_UNKNOWN ? next_id_++ : id, std::move(member)});
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    Record(L"GetIDsOfNames " + kind_ + L"." + names[0]);
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    for (const Entry& entry : members_)
      if (_wcsicmp(entry.name.c_str(), names[0]) == 0) ids[0] = entry.id;
    return count == 1 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    const auto entry =
        std::find_if(members_.begin(), members_.end(), [id](const Entry& entry) { return entry.id == id; });
    if (entry == members_.end()) return DISP_E_MEMBERNOTFOUND;
    VARIANT ignored, text;
    VariantInit(&ignored);
    Call call{{}, {}, result != nullptr ? result : &ignored, exception};
    std::wstring line = kind_ + L"." + entry->name + L"(";
    for (UINT i = parameters->cArgs; i-- > 0;) {
      VARIANT* argument = &parameters->rgvarg[i];
      call.arguments.push_back(V_VT(argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(argument) : argument);
      VariantInit(&text);
      call.texts.push_back(
          SUCCEEDED(VariantChangeType(&text, call.arguments.back(), VARIANT_ALPHABOOL, VT_BSTR))
              ? std::wstring(V_BSTR(&text), SysStringLen(V_BSTR(&text)))
              : L"?");
      VariantClear(&text);
      line += (call.texts.size() == 1 ? L"" : L", ") + call.texts.back();
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

// _NewEnum of a collection: makes its elements one by one as they are asked for, as a store does, and
// passes each reference to the caller; from element `fail_at` on, it fails the way Outlook's proxy
// reports a store that went away.
class Enumeration final : public Counted<IEnumVARIANT> {
 public:
  using Element = std::function<IDispatch*(std::size_t)>;
  Enumeration(std::shared_ptr<Session> session, std::size_t size, Element element, std::size_t fail_at)
      : session_(std::move(session)), element_(std::move(element)), size_(size), fail_at_(fail_at) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    session_->Record(L"Next");
    ULONG given = 0;
    for (; given < count && position_ < size_; ++given, ++position_) {
      if (position_ >= fail_at_) return RPC_E_DISCONNECTED;
      VariantInit(&out[given]);
      Return(&out[given], element_(position_));
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

 private:
  std::shared_ptr<Session> session_;
  Element element_;
  std::size_t size_, fail_at_, position_ = 0;
};

// What the DLL offers: each double defines the table. The class ids are the doubles' own (the real
// servers' are never claimed): `number` is the last byte, different for every class of every double.
struct ServerClass {
  BYTE number;
  const wchar_t* prog_id;
  IDispatch* (*create)();
};
extern const std::vector<ServerClass> kServerClasses;

inline CLSID ClassId(const ServerClass& server_class) {
  return {0x5f1c3a2e, 0x7d4b, 0x4c1e, {0x9a, 0x61, 0x2b, 0x8e, 0x40, 0x11, 0xc7, server_class.number}};
}

class Factory final : public Counted<IClassFactory> {
 public:
  explicit Factory(const ServerClass& server_class) : server_class_(server_class) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    return outer != nullptr ? CLASS_E_NOAGGREGATION : Hand(server_class_.create(), iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const ServerClass& server_class_;
};

}  // namespace fernkartei::doubles

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this DLL, as the linker places it

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  using namespace fernkartei::doubles;
  *out = nullptr;
  for (const ServerClass& server_class : kServerClasses)
    if (IsEqualCLSID(clsid, ClassId(server_class))) return Hand(new Factory(server_class), iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return S_FALSE;
}

// Each class in process, in the apartment of its caller, found by its ProgID. Nothing unregisters: the
// tests' Wine prefix is theirs alone.
STDAPI DllRegisterServer() {
  wchar_t module[MAX_PATH], clsid[40];
  GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), module, MAX_PATH);
  for (const auto& server_class : fernkartei::doubles::kServerClasses) {
    StringFromGUID2(fernkartei::doubles::ClassId(server_class), clsid, 40);
    const std::wstring server = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    for (const auto& [key, name, value] :
         {std::tuple<std::wstring, const wchar_t*, std::wstring>{server, nullptr, module},
          {server, L"ThreadingModel", L"Apartment"},
          {std::wstring(server_class.prog_id) + L"\\CLSID", nullptr, clsid}})
      if (RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
  }
  return S_OK;
}
}
