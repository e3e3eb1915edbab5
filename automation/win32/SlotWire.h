#pragma once
// The wire types of the slot binding in the system's component model
// (included by SlotBinding.h on Windows): text crosses as BSTR, byte arrays
// as SAFEARRAY, dates as DATE, optional values as VARIANT, so the tables the
// binding builds are the dual interfaces the type libraries describe and
// any client of the system can call them by slot.
//
// A member still takes its plain C++ types; the conversions live here. What
// a conversion must keep alive for the length of one call (a BSTR made from
// a Variant, the member's copy of an array passed by reference) is a
// temporary that converts to the type wanted and, where the member may
// write, copies the change back when the call is over.
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "automation/win32/SystemVariant.h"

namespace tov::automation::binding_detail {

template <typename T>
struct Arg;
template <typename T>
struct Result;

namespace wire {

inline std::u16string_view view(BSTR text) {
  return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text), ::SysStringLen(text))
              : std::u16string_view();
}

inline BSTR allocString(std::u16string_view text) {
  return ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// A BSTR for the length of one call.
class StringHolder {
 public:
  explicit StringHolder(std::u16string_view text) : value_(allocString(text)) {}
  ~StringHolder() { ::SysFreeString(value_); }
  StringHolder(const StringHolder&) = delete;
  StringHolder& operator=(const StringHolder&) = delete;
  operator BSTR() const { return value_; }

 private:
  BSTR value_;
};

inline SAFEARRAY* arrayOf(const tov::ByteArray& bytes) {
  VARIANT v;
  ::VariantInit(&v);
  if (FAILED(win32::toSystem(Variant::fromBytes(bytes), v))) return nullptr;
  return V_ARRAY(&v);  // handed over with the VARIANT's ownership
}

inline tov::ByteArray bytesOf(SAFEARRAY* array) {
  VARIANT v;
  ::VariantInit(&v);
  V_VT(&v) = VT_ARRAY | VT_UI1;
  V_ARRAY(&v) = array;
  Variant taken;
  if (FAILED(win32::fromSystem(v, taken)) || taken.type() != VarType::ByteArray) return {};
  return taken.bytesValue();
}

inline bool sameBytes(SAFEARRAY* array, const tov::ByteArray& bytes) {
  const tov::ByteArray now = bytesOf(array);
  return now == bytes;
}

// Invoke's byte array passed by reference, as a SAFEARRAY** for the slot;
// what the slot leaves there goes back into the Variant.
class ArrayRefHolder {
 public:
  explicit ArrayRefHolder(tov::ByteArray* target) : target_(target), array_(target ? arrayOf(*target) : nullptr) {}
  ~ArrayRefHolder() {
    if (target_ && array_ && !sameBytes(array_, *target_)) *target_ = bytesOf(array_);
    if (array_) ::SafeArrayDestroy(array_);
  }
  ArrayRefHolder(const ArrayRefHolder&) = delete;
  ArrayRefHolder& operator=(const ArrayRefHolder&) = delete;
  operator SAFEARRAY**() { return target_ ? &array_ : nullptr; }

 private:
  tov::ByteArray* target_;
  SAFEARRAY* array_;
};

// The caller's SAFEARRAY passed by reference, as the member's ByteArray*;
// a change the member makes replaces the caller's array.
class MemberBytes {
 public:
  explicit MemberBytes(SAFEARRAY** caller) : caller_(caller), bytes_(caller && *caller ? bytesOf(*caller) : tov::ByteArray()) {}
  ~MemberBytes() {
    if (!caller_ || (*caller_ && sameBytes(*caller_, bytes_)) || (!*caller_ && bytes_.empty())) return;
    if (SAFEARRAY* replacement = arrayOf(bytes_)) {
      if (*caller_) ::SafeArrayDestroy(*caller_);
      *caller_ = replacement;
    }
  }
  MemberBytes(const MemberBytes&) = delete;
  MemberBytes& operator=(const MemberBytes&) = delete;
  operator tov::ByteArray*() { return caller_ ? &bytes_ : nullptr; }

 private:
  SAFEARRAY** caller_;
  tov::ByteArray bytes_;
};

// A frame Variant as a VARIANT for the length of one call.
class VariantHolder {
 public:
  explicit VariantHolder(const Variant& value) {
    ::VariantInit(&value_);
    win32::toSystem(value, value_);
  }
  ~VariantHolder() { ::VariantClear(&value_); }
  VariantHolder(const VariantHolder&) = delete;
  VariantHolder& operator=(const VariantHolder&) = delete;
  operator VARIANT() const { return value_; }
  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

inline Variant fromWire(const VARIANT& value) {
  Variant out;
  if (FAILED(win32::fromSystem(value, out))) return Variant::fromError(kDispETypeMismatch);
  return out;
}

// Invoke's Variant passed by reference, as a VARIANT* for the slot; what
// the slot leaves there goes back.
class VariantRefHolder {
 public:
  explicit VariantRefHolder(Variant* target) : target_(target), value_(*target) {}
  ~VariantRefHolder() { *target_ = fromWire(*value_.get()); }
  VariantRefHolder(const VariantRefHolder&) = delete;
  VariantRefHolder& operator=(const VariantRefHolder&) = delete;
  operator VARIANT*() { return value_.get(); }

 private:
  Variant* target_;
  VariantHolder value_;
};

// The caller's VARIANT passed by reference, as the member's Variant*.
class MemberVariant {
 public:
  explicit MemberVariant(VARIANT* caller) : caller_(caller), value_(caller ? fromWire(*caller) : Variant()) {}
  ~MemberVariant() {
    if (caller_) win32::toSystem(value_, *caller_);
  }
  MemberVariant(const MemberVariant&) = delete;
  MemberVariant& operator=(const MemberVariant&) = delete;
  operator Variant*() { return caller_ ? &value_ : nullptr; }

 private:
  VARIANT* caller_;
  Variant value_;
};

}  // namespace wire

template <typename T>
struct SameOnWire;

template <>
struct Arg<std::u16string_view> {
  using Wire = BSTR;
  static constexpr Shape shape = Shape::String;
  static wire::StringHolder toWire(Variant& v) { return wire::StringHolder(v.stringValue()); }
  static std::u16string_view toMember(Wire w) { return wire::view(w); }
};
template <>
struct Arg<VariantBool> : SameOnWire<VariantBool> {
  static constexpr Shape shape = Shape::Boolean;
  static Wire toWire(Variant& v) { return v.boolValue(); }
};
template <>
struct Arg<std::int16_t> : SameOnWire<std::int16_t> {
  static constexpr Shape shape = Shape::Integer;
  static Wire toWire(Variant& v) { return v.integerValue(); }
};
template <>
struct Arg<std::int32_t> : SameOnWire<std::int32_t> {
  static constexpr Shape shape = Shape::Long;
  static Wire toWire(Variant& v) { return v.longValue(); }
};
template <>
struct Arg<double> : SameOnWire<double> {
  static constexpr Shape shape = Shape::Double;
  static Wire toWire(Variant& v) { return v.doubleValue(); }
};
// A DATE is a double on the wire, passed where doubles go.
template <>
struct Arg<Date> {
  using Wire = DATE;
  static constexpr Shape shape = Shape::Date;
  static Wire toWire(Variant& v) { return v.dateValue().value; }
  static Date toMember(Wire w) { return Date{w}; }
};
template <>
struct Arg<tov::ByteArray*> {
  using Wire = SAFEARRAY**;
  static constexpr Shape shape = Shape::ByteArrayRef;
  static wire::ArrayRefHolder toWire(Variant& v) { return wire::ArrayRefHolder(v.bytesStorage()); }
  static wire::MemberBytes toMember(Wire w) { return wire::MemberBytes(w); }
};
template <>
struct Arg<const Variant&> {
  using Wire = VARIANT;
  static constexpr Shape shape = Shape::Variant;
  static wire::VariantHolder toWire(Variant& v) { return wire::VariantHolder(v.deref()); }
  static Variant toMember(Wire w) { return wire::fromWire(w); }
};
template <>
struct Arg<Variant*> {
  using Wire = VARIANT*;
  static constexpr Shape shape = Shape::VariantRef;
  static wire::VariantRefHolder toWire(Variant& v) { return wire::VariantRefHolder(&v.deref()); }
  static wire::MemberVariant toMember(Wire w) { return wire::MemberVariant(w); }
};
// An omitted optional by-reference parameter arrives as no storage at all.
template <>
struct Arg<std::int32_t*> : SameOnWire<std::int32_t*> {
  static constexpr Shape shape = Shape::LongRef;
  static Wire toWire(Variant& v) { return v.isMissing() ? nullptr : v.longStorage(); }
};
template <>
struct Arg<VariantBool*> : SameOnWire<VariantBool*> {
  static constexpr Shape shape = Shape::BooleanRef;
  static Wire toWire(Variant& v) { return v.isMissing() ? nullptr : v.boolStorage(); }
};
template <>
struct Arg<Dispatch*> : SameOnWire<Dispatch*> {
  static constexpr Shape shape = Shape::Object;
  static Wire toWire(Variant& v) { return v.dispatchValue(); }
};

template <>
struct Result<std::u16string> {
  using Out = BSTR;
  static constexpr Shape shape = Shape::String;
  static void store(Out* out, const std::u16string& r) {
    *out = wire::allocString(r);
    if (!*out && !r.empty()) throw std::bad_alloc();
  }
  static Variant toVariant(Out& o) {
    Variant v = Variant::fromString(std::u16string(wire::view(o)));
    ::SysFreeString(std::exchange(o, nullptr));
    return v;
  }
};
template <>
struct Result<VariantBool> {
  using Out = VariantBool;
  static constexpr Shape shape = Shape::Boolean;
  // Whatever bit pattern the member made, a client reads exactly -1 or 0.
  static void store(Out* out, VariantBool r) { *out = toVariantBool(isTrue(r)); }
  static Variant toVariant(Out& o) { return Variant::fromBool(o); }
};
template <>
struct Result<std::int16_t> {
  using Out = std::int16_t;
  static constexpr Shape shape = Shape::Integer;
  static void store(Out* out, Out r) { *out = r; }
  static Variant toVariant(Out& o) { return Variant::fromInteger(o); }
};
template <>
struct Result<std::int32_t> {
  using Out = std::int32_t;
  static constexpr Shape shape = Shape::Long;
  static void store(Out* out, Out r) { *out = r; }
  static Variant toVariant(Out& o) { return Variant::fromLong(o); }
};
template <>
struct Result<double> {
  using Out = double;
  static constexpr Shape shape = Shape::Double;
  static void store(Out* out, Out r) { *out = r; }
  static Variant toVariant(Out& o) { return Variant::fromDouble(o); }
};
template <>
struct Result<Date> {
  using Out = DATE;
  static constexpr Shape shape = Shape::Date;
  static void store(Out* out, Date r) { *out = r.value; }
  static Variant toVariant(Out& o) { return Variant::fromDate(Date{o}); }
};
template <>
struct Result<tov::ByteArray> {
  using Out = SAFEARRAY*;
  static constexpr Shape shape = Shape::ByteArray;
  static void store(Out* out, const tov::ByteArray& r) {
    *out = wire::arrayOf(r);
    if (!*out) throw std::bad_alloc();
  }
  static Variant toVariant(Out& o) {
    Variant v = Variant::fromBytes(wire::bytesOf(o));
    if (o) ::SafeArrayDestroy(std::exchange(o, nullptr));
    return v;
  }
};
template <>
struct Result<Variant> {
  using Out = VARIANT;
  static constexpr Shape shape = Shape::Variant;
  static void store(Out* out, const Variant& r) {
    ::VariantInit(out);
    if (FAILED(win32::toSystem(r, *out))) throw std::bad_alloc();
  }
  static Variant toVariant(Out& o) {
    Variant v = wire::fromWire(o);
    ::VariantClear(&o);
    return v;
  }
};
// Object results leave the slot as a reference the caller owns.
template <>
struct Result<ComPtr<Dispatch>> {
  using Out = Dispatch*;
  static constexpr Shape shape = Shape::Object;
  static void store(Out* out, ComPtr<Dispatch> r) { *out = r.detach(); }
  static Variant toVariant(Out& o) { return Variant::fromDispatch(ComPtr<Dispatch>::adopt(std::exchange(o, nullptr))); }
};
template <>
struct Result<ComPtr<Unknown>> {
  using Out = Unknown*;
  static constexpr Shape shape = Shape::Unknown;
  static void store(Out* out, ComPtr<Unknown> r) { *out = r.detach(); }
  static Variant toVariant(Out& o) { return Variant::fromUnknown(ComPtr<Unknown>::adopt(std::exchange(o, nullptr))); }
};

}  // namespace tov::automation::binding_detail
