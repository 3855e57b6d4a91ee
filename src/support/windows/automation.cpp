#include "support/windows/automation.h"

#include <oleauto.h>

#include <utility>

#include "support/windows/wide_text.h"

namespace fernkartei::support::automation {
namespace {

std::string Utf8Of(BSTR text) {
  return text == nullptr ? std::string() : Utf8FromWide({text, SysStringLen(text)});
}

[[noreturn]] void Fail(ErrorNumber number) {
  throw Failure(number);
}

// The runtime's number for a COM result that carries no description of its own.
ErrorNumber NumberOf(HRESULT result) {
  switch (result) {
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND:
      return ErrorNumber::PropertyNotSupported;
    case DISP_E_TYPEMISMATCH:
      return ErrorNumber::TypeMismatch;
    case DISP_E_OVERFLOW:
      return ErrorNumber::Overflow;
    case DISP_E_BADPARAMCOUNT:
      return ErrorNumber::WrongNumberOfArguments;
    case DISP_E_PARAMNOTOPTIONAL:
      return ErrorNumber::ArgumentNotOptional;
    case DISP_E_BADINDEX:
      return ErrorNumber::SubscriptOutOfRange;
    case E_OUTOFMEMORY:
      return ErrorNumber::OutOfMemory;
    case E_INVALIDARG:
      return ErrorNumber::InvalidProcedureCall;
    case E_NOINTERFACE:
      return ErrorNumber::NoAutomationInterface;
    case E_ACCESSDENIED:
      return ErrorNumber::PermissionDenied;
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
      return ErrorNumber::CannotCreateObject;
    default:
      // Errors raised by Basic-speaking servers carry the runtime's own number in the low word.
      if (HRESULT_FACILITY(result) == FACILITY_CONTROL) return static_cast<ErrorNumber>(HRESULT_CODE(result));
      return ErrorNumber::AutomationError;
  }
}

void Check(HRESULT result) {
  if (FAILED(result)) throw FailureOfHresult(result);
}

// The value converted as an assignment to a variable of that type converts it: an object gives its
// default property, Null converts to nothing.
Variant Converted(const VARIANT& value, VARTYPE type, USHORT flags = 0) {
  if (V_VT(&value) == VT_NULL) Fail(ErrorNumber::InvalidUseOfNull);
  Variant converted;
  // The source is only read; the declaration merely lacks the const.
  Check(VariantChangeType(&converted.raw(), const_cast<VARIANT*>(&value), flags, type));
  return converted;
}

std::string TextOf(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
      return {};
    case VT_BSTR:
      return Utf8Of(V_BSTR(&value));
    default:
      return Utf8Of(V_BSTR(&Converted(value, VT_BSTR, VARIANT_ALPHABOOL).raw()));
  }
}

}  // namespace

ComApartment::ComApartment() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // A thread already in the multithreaded apartment can make the same calls; it is simply not ours.
  if (result == RPC_E_CHANGED_MODE) return;
  Check(result);
  joined_ = true;
}

ComApartment::~ComApartment() {
  if (joined_) CoUninitialize();
}

std::shared_ptr<ComApartment> JoinComApartment() {
  return std::make_shared<ComApartment>();
}

Failure FailureOfHresult(HRESULT result, EXCEPINFO* exception) {
  if (result != DISP_E_EXCEPTION || exception == nullptr) return Failure(NumberOf(result));
  if (exception->pfnDeferredFillIn != nullptr) exception->pfnDeferredFillIn(exception);
  const std::string description = Utf8Of(exception->bstrDescription);
  SysFreeString(exception->bstrSource);
  SysFreeString(exception->bstrDescription);
  SysFreeString(exception->bstrHelpFile);
  const ErrorNumber number = exception->wCode != 0      ? static_cast<ErrorNumber>(exception->wCode)
                             : exception->scode != S_OK ? NumberOf(exception->scode)
                                                        : ErrorNumber::AutomationError;
  return description.empty() ? Failure(number) : Failure(number, description);
}

Variant::Variant() {
  VariantInit(&value_);
}
Variant::~Variant() {
  VariantClear(&value_);
}
Variant::Variant(Variant&& other) noexcept : value_(other.value_) {
  VariantInit(&other.value_);
}
Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&value_);
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  return *this;
}

Variant Variant::Text(std::string_view utf8) {
  const std::wstring wide = WideFromUtf8(utf8);
  Variant out;
  V_BSTR(&out.value_) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (V_BSTR(&out.value_) == nullptr) Fail(ErrorNumber::OutOfMemory);
  V_VT(&out.value_) = VT_BSTR;
  return out;
}

Variant Variant::Bool(bool value) {
  Variant out;
  V_VT(&out.value_) = VT_BOOL;
  V_BOOL(&out.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return out;
}

Variant Variant::Int(std::int32_t value) {
  Variant out;
  V_VT(&out.value_) = VT_I4;
  V_I4(&out.value_) = value;
  return out;
}

Variant Variant::Object(const Dispatch& object) {
  Variant out;
  V_VT(&out.value_) = VT_DISPATCH;
  V_DISPATCH(&out.value_) = object.get();
  if (object) object.get()->AddRef();
  return out;
}

bool Variant::IsNothing() const {
  switch (V_VT(&value_)) {
    case VT_EMPTY:
      return true;
    case VT_DISPATCH:
      return V_DISPATCH(&value_) == nullptr;
    case VT_UNKNOWN:
      return V_UNKNOWN(&value_) == nullptr;
    default:
      return false;
  }
}

std::string Variant::ToText() const {
  return TextOf(value_);
}

std::int32_t Variant::ToInt() const {
  return V_I4(&Converted(value_, VT_I4).raw());
}

bool Variant::ToBool() const {
  return V_BOOL(&Converted(value_, VT_BOOL).raw()) != VARIANT_FALSE;
}

Dispatch Variant::ToObject() const {
  if (IsNothing()) return Dispatch();
  const VARTYPE type = V_VT(&value_);
  if (type != VT_DISPATCH && type != VT_UNKNOWN) Fail(ErrorNumber::TypeMismatch);
  IDispatch* object = nullptr;
  Check(V_UNKNOWN(&value_)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&object)));
  return Dispatch(object);
}

std::vector<std::string> Variant::ToTexts() const {
  const VARTYPE type = V_VT(&value_);
  if ((type & VT_ARRAY) == 0) Fail(ErrorNumber::TypeMismatch);
  SAFEARRAY* array = (type & VT_BYREF) != 0 ? *V_ARRAYREF(&value_) : V_ARRAY(&value_);
  const VARTYPE element = type & VT_TYPEMASK;
  if (array == nullptr) return {};
  if (element != VT_VARIANT && element != VT_BSTR) Fail(ErrorNumber::TypeMismatch);
  std::size_t count = array->cDims == 0 ? 0 : 1;
  for (USHORT dimension = 0; dimension < array->cDims; ++dimension)
    count *= array->rgsabound[dimension].cElements;
  void* data = nullptr;
  Check(SafeArrayAccessData(array, &data));
  std::vector<std::string> texts;
  texts.reserve(count);
  try {
    for (std::size_t i = 0; i < count; ++i) {
      if (element == VT_BSTR) {
        texts.push_back(Utf8Of(static_cast<BSTR*>(data)[i]));
        continue;
      }
      const VARIANT& value = static_cast<VARIANT*>(data)[i];
      if (V_VT(&value) != VT_NULL && V_VT(&value) != VT_EMPTY) texts.push_back(TextOf(value));
    }
  } catch (...) {
    SafeArrayUnaccessData(array);
    throw;
  }
  SafeArrayUnaccessData(array);
  return texts;
}

Enumerator::Enumerator(IEnumVARIANT* adopted) : enumerator_(adopted) {}
Enumerator::~Enumerator() {
  if (enumerator_ != nullptr) enumerator_->Release();
}
Enumerator::Enumerator(Enumerator&& other) noexcept
    : enumerator_(std::exchange(other.enumerator_, nullptr)) {}
Enumerator& Enumerator::operator=(Enumerator&& other) noexcept {
  std::swap(enumerator_, other.enumerator_);
  return *this;
}

std::optional<Variant> Enumerator::Next() {
  if (enumerator_ == nullptr) Fail(ErrorNumber::ObjectNotSet);
  Variant element;
  ULONG fetched = 0;
  const HRESULT result = enumerator_->Next(1, &element.raw(), &fetched);
  Check(result);
  if (result == S_FALSE) return std::nullopt;
  return element;
}

Dispatch::~Dispatch() {
  if (object_ != nullptr) object_->Release();
}
Dispatch::Dispatch(Dispatch&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
Dispatch& Dispatch::operator=(Dispatch&& other) noexcept {
  std::swap(object_, other.object_);
  return *this;
}

Dispatch Dispatch::Create(std::string_view prog_id) {
  CLSID class_id;
  if (FAILED(CLSIDFromProgID(WideFromUtf8(prog_id).c_str(), &class_id)))
    Fail(ErrorNumber::CannotCreateObject);
  IDispatch* object = nullptr;
  const HRESULT result = CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                          IID_IDispatch, reinterpret_cast<void**>(&object));
  if (result == E_OUTOFMEMORY) Fail(ErrorNumber::OutOfMemory);
  if (FAILED(result) || object == nullptr) Fail(ErrorNumber::CannotCreateObject);
  return Dispatch(object);
}

std::optional<DISPID> Dispatch::FindMember(std::string_view name) const {
  std::wstring wide = WideFromUtf8(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT result = Checked()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (result == DISP_E_UNKNOWNNAME || result == DISP_E_MEMBERNOTFOUND) return std::nullopt;
  Check(result);
  return id;
}

DISPID Dispatch::MemberId(std::string_view name) const {
  const auto id = FindMember(name);
  if (!id) Fail(ErrorNumber::PropertyNotSupported);
  return *id;
}

Variant Dispatch::Get(std::string_view member, std::initializer_list<Variant> arguments) const {
  return Get(MemberId(member), arguments);
}

Variant Dispatch::Get(DISPID member, std::initializer_list<Variant> arguments) const {
  return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments);
}

void Dispatch::Call(std::string_view member, std::initializer_list<Variant> arguments) const {
  Invoke(MemberId(member), DISPATCH_METHOD, arguments);
}

Variant Dispatch::Value() const {
  return Invoke(DISPID_VALUE, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {});
}

Enumerator Dispatch::Enumerate() const {
  const Variant collection = Invoke(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {});
  const VARTYPE type = V_VT(&collection.raw());
  IUnknown* unknown = type == VT_UNKNOWN || type == VT_DISPATCH ? V_UNKNOWN(&collection.raw()) : nullptr;
  IEnumVARIANT* enumerator = nullptr;
  if (unknown == nullptr ||
      FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator))))
    Fail(ErrorNumber::PropertyNotSupported);
  return Enumerator(enumerator);
}

Variant Dispatch::Invoke(DISPID member, WORD flags, std::initializer_list<Variant> arguments) const {
  IDispatch* object = Checked();
  // Invoke takes the arguments last to first; the copies are shallow, the callee only reads them.
  std::vector<VARIANTARG> reversed;
  reversed.reserve(arguments.size());
  for (auto it = arguments.end(); it != arguments.begin();) reversed.push_back((--it)->raw());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  Variant result;
  EXCEPINFO exception{};
  UINT argument_error = 0;
  const HRESULT outcome = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                         &result.raw(), &exception, &argument_error);
  if (FAILED(outcome)) throw FailureOfHresult(outcome, &exception);
  return result;
}

IDispatch* Dispatch::Checked() const {
  if (object_ == nullptr) Fail(ErrorNumber::ObjectNotSet);
  return object_;
}

}  // namespace fernkartei::support::automation
