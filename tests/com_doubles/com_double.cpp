#include "com_doubles/com_double.h"

#include <oleauto.h>
#include <olectl.h>

#include <fstream>
#include <utility>

namespace fernkartei::doubles {
namespace {

std::string Utf8(std::wstring_view text) {
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(
                      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                      static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

bool Converted(const VARIANT* value, VARTYPE type, VARIANT& out) {
  VariantInit(&out);
  return value != nullptr &&
         SUCCEEDED(VariantChangeType(&out, const_cast<VARIANT*>(value), VARIANT_ALPHABOOL, type));
}

class Enumeration final : public Counted<IEnumVARIANT> {
 public:
  Enumeration(std::shared_ptr<Session> session, std::vector<IDispatch*> elements, std::size_t fail_at)
      : session_(std::move(session)), elements_(std::move(elements)), fail_at_(fail_at) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    session_->Delay();
    session_->Record(L"Next");
    ULONG given = 0;
    for (; given < count && position_ < elements_.size(); ++given, ++position_) {
      // A store that goes away in the middle: Outlook's proxy reports the lost connection.
      if (position_ >= fail_at_) return RPC_E_DISCONNECTED;
      // The reference passes to the caller, as from a store that makes each item as it is asked for.
      VariantInit(&out[given]);
      V_VT(&out[given]) = VT_DISPATCH;
      V_DISPATCH(&out[given]) = std::exchange(elements_[position_], nullptr);
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

class Factory final : public IClassFactory {
 public:
  explicit Factory(const ServerClass& server_class) : class_(server_class) {}
  bool Is(REFCLSID clsid) const { return IsEqualCLSID(clsid, class_.clsid) != 0; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *out == nullptr ? E_NOINTERFACE : S_OK;
  }
  // Factories live as long as the DLL.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IDispatch* object = class_.create();
    if (object == nullptr) return E_FAIL;
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  const ServerClass& class_;
};

std::wstring ClassKey(const CLSID& clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  return std::wstring(L"CLSID\\") + text;
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

Session::Session(const std::wstring& journal, long long delay_microseconds) {
  if (!journal.empty()) file_ = _wfopen(journal.c_str(), L"ab");
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  delay_ticks_ = delay_microseconds * frequency.QuadPart / 1000000;
}

Session::~Session() {
  if (file_ != nullptr) std::fclose(file_);
}

void Session::Record(std::wstring_view line) {
  if (file_ == nullptr) return;
  std::fputs((Utf8(line) + "\n").c_str(), file_);
  std::fflush(file_);
}

void Session::Delay() const {
  if (delay_ticks_ <= 0) return;
  LARGE_INTEGER start;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&start);
  do QueryPerformanceCounter(&now);
  while (now.QuadPart - start.QuadPart < delay_ticks_);
}

bool Call::Text(std::size_t index, std::wstring& out) const {
  VARIANT text;
  if (index >= arguments.size() || !Converted(arguments[index], VT_BSTR, text)) return false;
  out.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
  VariantClear(&text);
  return true;
}

bool Call::Number(std::size_t index, long& out) const {
  VARIANT number;
  if (index >= arguments.size() || !Converted(arguments[index], VT_I4, number)) return false;
  out = V_I4(&number);
  return true;
}

HRESULT Call::Raise(const wchar_t* description, HRESULT code) const {
  if (exception == nullptr) return code;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(L"Double");
  exception->bstrDescription = SysAllocString(description);
  exception->scode = code;
  return DISP_E_EXCEPTION;
}

Object::Object(std::shared_ptr<Session> session, std::wstring kind)
    : session_(std::move(session)), kind_(std::move(kind)) {}

Object::~Object() {
  if (!kind_.empty()) session_->Record(L"release " + kind_);
}

void Object::Add(std::wstring name, Member member, DISPID id) {
  if (id == DISPID_UNKNOWN) id = next_id_++;
  members_.push_back({std::move(name), id, std::move(member)});
}

HRESULT Object::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT Object::GetTypeInfo(UINT, LCID, ITypeInfo**) {
  return E_NOTIMPL;
}

HRESULT Object::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  session_->Delay();
  if (!kind_.empty()) session_->Record(L"GetIDsOfNames " + kind_ + L"." + names[0]);
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (const Entry& entry : members_) {
    if (_wcsicmp(entry.name.c_str(), names[0]) == 0) {
      ids[0] = entry.id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT Object::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                       EXCEPINFO* exception, UINT*) {
  session_->Delay();
  const Entry* entry = nullptr;
  for (const Entry& candidate : members_)
    if (candidate.id == id) entry = &candidate;
  if (entry == nullptr) return DISP_E_MEMBERNOTFOUND;
  VARIANT ignored;
  VariantInit(&ignored);
  Call call{{}, result != nullptr ? result : &ignored, exception};
  for (UINT i = parameters->cArgs; i-- > 0;) {
    VARIANT* argument = &parameters->rgvarg[i];
    call.arguments.push_back(V_VT(argument) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(argument) : argument);
  }
  if (!kind_.empty()) {
    std::wstring line = kind_ + L"." + entry->name + L"(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
      std::wstring text;
      line += (i == 0 ? L"" : L", ") + (call.Text(i, text) ? text : L"?");
    }
    session_->Record(line + L")");
  }
  const HRESULT outcome = session_->refused.count(kind_ + L"." + entry->name) != 0
                              ? call.Raise(L"Der Vorgang ist fehlgeschlagen.")
                              : entry->member(call);
  VariantClear(&ignored);
  return outcome;
}

void Return(VARIANT* result, IDispatch* object) {
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = object;
}

void Return(VARIANT* result, std::wstring_view text) {
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void Return(VARIANT* result, long number) {
  V_VT(result) = VT_I4;
  V_I4(result) = number;
}

Member Constant(std::wstring text) {
  return [text = std::move(text)](Call& call) {
    Return(call.result, text);
    return S_OK;
  };
}

Member Constant(long number) {
  return [number](Call& call) {
    Return(call.result, number);
    return S_OK;
  };
}

IEnumVARIANT* NewEnumeration(std::shared_ptr<Session> session, std::vector<IDispatch*> elements,
                             std::size_t fail_at) {
  return new Enumeration(std::move(session), std::move(elements), fail_at);
}

std::wstring EnvironmentValue(const wchar_t* name) {
  wchar_t value[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
  return length == 0 || length >= MAX_PATH * 2 ? std::wstring() : std::wstring(value, length);
}

bool ReadLines(const std::wstring& path, std::vector<std::wstring>& lines) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(
                          CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), wide.data(),
                        static_cast<int>(wide.size()));
    lines.push_back(std::move(wide));
  }
  return !in.bad() && in.eof();
}

}  // namespace fernkartei::doubles

using fernkartei::doubles::ServerClasses;

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  static std::vector<fernkartei::doubles::Factory> factories(ServerClasses().begin(), ServerClasses().end());
  for (auto& factory : factories)
    if (factory.Is(clsid)) return factory.QueryInterface(iid, out);
  *out = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
  return S_FALSE;
}

STDAPI DllRegisterServer() {
  wchar_t module[MAX_PATH];
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&DllRegisterServer), &self);
  GetModuleFileNameW(self, module, MAX_PATH);
  for (const auto& server_class : ServerClasses()) {
    using fernkartei::doubles::ClassKey;
    using fernkartei::doubles::SetValue;
    const std::wstring key = ClassKey(server_class.clsid);
    wchar_t clsid[40];
    StringFromGUID2(server_class.clsid, clsid, 40);
    if (!SetValue(key + L"\\InprocServer32", nullptr, module) ||
        !SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") ||
        !SetValue(std::wstring(server_class.prog_id) + L"\\CLSID", nullptr, clsid))
      return SELFREG_E_CLASS;
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  for (const auto& server_class : ServerClasses()) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, fernkartei::doubles::ClassKey(server_class.clsid).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, server_class.prog_id);
  }
  return S_OK;
}
}
