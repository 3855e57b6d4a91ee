#pragma once
// Late-bound automation: objects created by ProgID and members called by name at run time, the way
// Outlook and ADO are driven without type libraries or generated headers. Text crosses this edge as
// UTF-8 one way and BSTR the other; every COM failure leaves it as support::Failure, numbered as the old
// Basic runtime numbered it (429 cannot create, 438 no such member, 91 no object, ...).

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/failure.h"

namespace fernkartei::support::automation {

// COM, apartment-threaded, on the calling thread for as long as the object lives. Nests: a thread that
// already joined an apartment keeps it.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool joined_ = false;
};

// A new apartment reference for objects that must not outlive COM on their thread.
std::shared_ptr<ComApartment> JoinComApartment();

class Dispatch;

// An owned VARIANT: an argument on its way in or a result on its way out.
class Variant {
 public:
  Variant();
  ~Variant();
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static Variant Text(std::string_view utf8);
  static Variant Bool(bool value);
  static Variant Int(std::int32_t value);
  static Variant Object(const Dispatch& object);

  // Nothing: empty, or an object reference that is null.
  bool IsNothing() const;
  // Converted as the runtime converts for a String, Long or Boolean; throws 13 when the value does not
  // convert, 94 for Null.
  std::string ToText() const;
  std::int32_t ToInt() const;
  bool ToBool() const;
  // The object held; an empty Dispatch for Nothing; throws 13 for a value that is no object.
  Dispatch ToObject() const;
  // The elements of an array of values as texts, in storage order; Null and Empty elements are left out.
  std::vector<std::string> ToTexts() const;

  VARIANT& raw() { return value_; }
  const VARIANT& raw() const { return value_; }

 private:
  VARIANT value_;
};

// A forward walk over a collection's _NewEnum.
class Enumerator {
 public:
  explicit Enumerator(IEnumVARIANT* adopted);
  ~Enumerator();
  Enumerator(Enumerator&& other) noexcept;
  Enumerator& operator=(Enumerator&& other) noexcept;
  Enumerator(const Enumerator&) = delete;
  Enumerator& operator=(const Enumerator&) = delete;

  // The next element; nothing after the last. Throws when the collection fails to give one.
  std::optional<Variant> Next();

 private:
  IEnumVARIANT* enumerator_;
};

// An owned reference to an automation object; empty stands for Nothing.
class Dispatch {
 public:
  Dispatch() = default;
  // Takes over the caller's reference.
  explicit Dispatch(IDispatch* adopted) : object_(adopted) {}
  ~Dispatch();
  Dispatch(Dispatch&& other) noexcept;
  Dispatch& operator=(Dispatch&& other) noexcept;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  // CreateObject: throws 429 when the ProgID is unknown or the object cannot be created.
  static Dispatch Create(std::string_view prog_id);

  explicit operator bool() const { return object_ != nullptr; }
  IDispatch* get() const { return object_; }

  // The member's id; nothing when the object has no such member.
  std::optional<DISPID> FindMember(std::string_view name) const;
  // The member's id; throws 438 when the object has no such member.
  DISPID MemberId(std::string_view name) const;

  // A property read or a method call whose result is used.
  Variant Get(std::string_view member, std::initializer_list<Variant> arguments = {}) const;
  Variant Get(DISPID member, std::initializer_list<Variant> arguments = {}) const;
  // A method called as a statement: its result, if any, is dropped.
  void Call(std::string_view member, std::initializer_list<Variant> arguments = {}) const;
  // The default property, read without a member name.
  Variant Value() const;
  // For Each over the object.
  Enumerator Enumerate() const;

 private:
  Variant Invoke(DISPID member, WORD flags, std::initializer_list<Variant> arguments) const;
  IDispatch* Checked() const;

  IDispatch* object_ = nullptr;
};

// The program's failure for a COM result (and the exception details that came with it, if any).
Failure FailureOfHresult(HRESULT result, EXCEPINFO* exception = nullptr);

}  // namespace fernkartei::support::automation
