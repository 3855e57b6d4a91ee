#pragma once
// The little in-process COM server the test doubles are built from: automation objects whose members
// are functions, found by name without regard to case; an enumerator over a list; a journal of every
// call, each of which may be slowed down as a call into another process would be; the class factory and
// registration of the DLL.

#include <oaidl.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::doubles {

// What the objects of one double share: the journal the calls go to (one line each, UTF-8), how long each
// call takes at least, and the members ("Kind.Name") made to fail.
class Session {
 public:
  explicit Session(const std::wstring& journal, long long delay_microseconds = 0);
  ~Session();
  void Record(std::wstring_view line);
  void Delay() const;
  std::set<std::wstring> refused;

 private:
  std::FILE* file_ = nullptr;
  long long delay_ticks_ = 0;
};

// One call of a member: its arguments first to last, where the result goes, and the exception to fill.
struct Call {
  std::vector<VARIANT*> arguments;
  VARIANT* result;
  EXCEPINFO* exception;
  // The argument as text or number, converted as the real servers convert it; false when it does not.
  bool Text(std::size_t index, std::wstring& out) const;
  bool Number(std::size_t index, long& out) const;
  // Fails the call the way automation servers report their own errors.
  HRESULT Raise(const wchar_t* description, HRESULT code = E_FAIL) const;
};
using Member = std::function<HRESULT(Call&)>;

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
  Object(std::shared_ptr<Session> session, std::wstring kind);
  // DISPID_UNKNOWN picks the next free id.
  void Add(std::wstring name, Member member, DISPID id = DISPID_UNKNOWN);

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argument_error) override;

 protected:
  ~Object() override;
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

// Sets *result to an object (the reference passes to the caller), a text or a number.
void Return(VARIANT* result, IDispatch* object);
void Return(VARIANT* result, std::wstring_view text);
void Return(VARIANT* result, long number);
// A property that always gives the same value.
Member Constant(std::wstring text);
Member Constant(long number);

// _NewEnum of a collection: hands out the elements once each; fails from element `fail_at` on.
IEnumVARIANT* NewEnumeration(std::shared_ptr<Session> session, std::vector<IDispatch*> elements,
                             std::size_t fail_at = static_cast<std::size_t>(-1));

// What the DLL offers: each double defines this table.
struct ServerClass {
  CLSID clsid;
  const wchar_t* prog_id;
  std::function<IDispatch*()> create;
};
const std::vector<ServerClass>& ServerClasses();

std::wstring EnvironmentValue(const wchar_t* name);
// The lines of a UTF-8 text file without their line ends; false when it cannot be read.
bool ReadLines(const std::wstring& path, std::vector<std::wstring>& lines);

}  // namespace fernkartei::doubles
