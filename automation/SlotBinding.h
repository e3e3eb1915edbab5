#pragma once
// Turns a member function of a frame object into a slot of its interface.
//
// A member is written in plain C++ (std::u16string_view for String,
// VariantBool, std::int32_t for Long and enumerations, tov::ByteArray* for
// a byte array by reference, const Variant& for an optional parameter
// without default, ...) and returns its result or throws tov::RuntimeError.
// From it the binder makes:
//  - the slot function early-bound clients call through the table:
//    HResult TOV_SLOTCALL (Dispatch* self, wire params..., Out* out), the
//    error kept as the object's error information;
//  - the adapter Invoke uses to call that same slot with Variant arguments
//    already converted to the declared types.
//
// What crosses the table is decided here and nowhere else: Arg<T> gives
// the wire type of a member parameter of type T and the two conversions
// (from Invoke's Variant to the wire, from the wire to the member), and
// Result<R> the wire type the slot writes its result to. In this build
// every wire type is the member's own type; a build for the platform's own
// component model retargets these traits (BSTR, SAFEARRAY*, VARIANT) and
// TOV_SLOTCALL, and no member or wrapper changes.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "automation/ComObject.h"
#include "automation/Variant.h"

namespace tov::automation {

// The binary form of a parameter or result, matched against the type
// description when an interface's table is built.
enum class Shape : std::uint8_t {
  Void,
  String,
  Boolean,
  Integer,
  Long,
  Double,
  Date,
  ByteArray,
  ByteArrayRef,
  Variant,
  VariantRef,
  LongRef,
  BooleanRef,
  Object,
  Unknown,
};

using InvokeAdapter = HResult (*)(Dispatch* self, SlotPtr slot, std::span<Variant> args, Variant* result);

struct MemberBinding {
  SlotPtr slot = nullptr;
  InvokeAdapter adapter = nullptr;
  std::vector<Shape> params;
  Shape result = Shape::Void;
};

namespace binding_detail {

// Arg<T> for a member parameter of type T:
//   Wire                    the slot function's parameter type
//   shape                   its binary form
//   toWire(Variant&)        Invoke's converted argument as the slot takes it
//   toMember(Wire)          what the member receives
template <typename T>
struct Arg;

// The types whose wire form is the member's own.
template <typename T>
struct SameOnWire {
  using Wire = T;
  static T toMember(Wire w) { return w; }
};

#if defined(_WIN32)
}  // namespace binding_detail
}  // namespace tov::automation
// The system's component model: BSTR, SAFEARRAY, VARIANT and DATE on the
// wire.
#include "automation/win32/SlotWire.h"
namespace tov::automation {
namespace binding_detail {
#else
template <>
struct Arg<std::u16string_view> : SameOnWire<std::u16string_view> {
  static constexpr Shape shape = Shape::String;
  static Wire toWire(Variant& v) { return v.stringValue(); }
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
template <>
struct Arg<Date> : SameOnWire<Date> {
  static constexpr Shape shape = Shape::Date;
  static Wire toWire(Variant& v) { return v.dateValue(); }
};
template <>
struct Arg<tov::ByteArray*> : SameOnWire<tov::ByteArray*> {
  static constexpr Shape shape = Shape::ByteArrayRef;
  static Wire toWire(Variant& v) { return v.bytesStorage(); }
};
template <>
struct Arg<const Variant&> : SameOnWire<const Variant&> {
  static constexpr Shape shape = Shape::Variant;
  static Wire toWire(Variant& v) { return v.deref(); }
};
template <>
struct Arg<Variant*> : SameOnWire<Variant*> {
  static constexpr Shape shape = Shape::VariantRef;
  static Wire toWire(Variant& v) { return &v.deref(); }
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

// Result<R> for a member result of type R:
//   Out                     the type the slot writes through its last parameter
//   shape                   its binary form
//   store(Out*, R)          the member's result into the slot's out parameter
//   toVariant(Out&)         that out parameter as Invoke's result
template <typename T>
struct Result;
template <>
struct Result<std::u16string> {
  using Out = std::u16string;
  static constexpr Shape shape = Shape::String;
  static void store(Out* out, std::u16string r) { *out = std::move(r); }
  static Variant toVariant(Out& o) { return Variant::fromString(std::move(o)); }
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
  using Out = Date;
  static constexpr Shape shape = Shape::Date;
  static void store(Out* out, Out r) { *out = r; }
  static Variant toVariant(Out& o) { return Variant::fromDate(o); }
};
template <>
struct Result<tov::ByteArray> {
  using Out = tov::ByteArray;
  static constexpr Shape shape = Shape::ByteArray;
  static void store(Out* out, Out r) { *out = std::move(r); }
  static Variant toVariant(Out& o) { return Variant::fromBytes(std::move(o)); }
};
template <>
struct Result<Variant> {
  using Out = Variant;
  static constexpr Shape shape = Shape::Variant;
  static void store(Out* out, Out r) { *out = std::move(r); }
  static Variant toVariant(Out& o) { return std::move(o); }
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
#endif

template <typename C, typename R, typename... A>
struct Signature {
  using Out = typename Result<R>::Out;
  using Fn = HResult(TOV_SLOTCALL*)(Dispatch*, typename Arg<A>::Wire..., Out*);

  template <auto M>
  static HResult TOV_SLOTCALL slot(Dispatch* self, typename Arg<A>::Wire... a, Out* out) {
    if (!out) return kEPointer;
    try {
      Result<R>::store(out, (objectOf<C>(self)->*M)(Arg<A>::toMember(a)...));
      return kSOk;
    } catch (...) {
      return ComObject::ownerOf(self)->failWithCurrentException();
    }
  }

  template <std::size_t... I>
  static HResult call(Dispatch* self, SlotPtr p, [[maybe_unused]] std::span<Variant> args, Variant* result,
                      std::index_sequence<I...>) {
    Out out{};
    const HResult hr = reinterpret_cast<Fn>(p)(self, Arg<A>::toWire(args[I])..., &out);
    if (failed(hr)) return hr;
    Variant v = Result<R>::toVariant(out);
    if (result) *result = std::move(v);
    return hr;
  }
  static HResult adapter(Dispatch* self, SlotPtr p, std::span<Variant> args, Variant* result) {
    return call(self, p, args, result, std::index_sequence_for<A...>{});
  }
  static constexpr Shape resultShape = Result<R>::shape;
};

template <typename C, typename... A>
struct Signature<C, void, A...> {
  using Fn = HResult(TOV_SLOTCALL*)(Dispatch*, typename Arg<A>::Wire...);

  template <auto M>
  static HResult TOV_SLOTCALL slot(Dispatch* self, typename Arg<A>::Wire... a) {
    try {
      (objectOf<C>(self)->*M)(Arg<A>::toMember(a)...);
      return kSOk;
    } catch (...) {
      return ComObject::ownerOf(self)->failWithCurrentException();
    }
  }

  template <std::size_t... I>
  static HResult call(Dispatch* self, SlotPtr p, [[maybe_unused]] std::span<Variant> args, Variant* result,
                      std::index_sequence<I...>) {
    const HResult hr = reinterpret_cast<Fn>(p)(self, Arg<A>::toWire(args[I])...);
    if (succeeded(hr) && result) *result = Variant();
    return hr;
  }
  static HResult adapter(Dispatch* self, SlotPtr p, std::span<Variant> args, Variant* result) {
    return call(self, p, args, result, std::index_sequence_for<A...>{});
  }
  static constexpr Shape resultShape = Shape::Void;
};

template <typename M>
struct MemberTraits;
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...)> {
  using Sig = Signature<C, R, A...>;
  static std::vector<Shape> params() { return {Arg<A>::shape...}; }
};
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...) const> {
  using Sig = Signature<C, R, A...>;
  static std::vector<Shape> params() { return {Arg<A>::shape...}; }
};

}  // namespace binding_detail

// The wire types, for the headers early-bound clients compile against: a
// parameter the member takes as T crosses as WireOf<T>, a result it
// returns as R is written to a WireResultOf<R>*.
template <typename T>
using WireOf = typename binding_detail::Arg<T>::Wire;
template <typename R>
using WireResultOf = typename binding_detail::Result<R>::Out;

// The function type of the slot made from member M: what an early-bound
// client casts the table entry to.
template <auto M>
using SlotFunction = typename binding_detail::MemberTraits<decltype(M)>::Sig::Fn;

// The other direction: how a library calls a slot of an interface its
// client implements (a callback), with Variant arguments already of the
// declared types. R is the result (void for none), A the parameters.
template <typename R, typename... A>
InvokeAdapter slotCaller() {
  return &binding_detail::Signature<ComObject, R, A...>::adapter;
}
template <typename R, typename... A>
using CallbackSlotFunction = typename binding_detail::Signature<ComObject, R, A...>::Fn;

template <auto M>
MemberBinding bindSlot() {
  using Traits = binding_detail::MemberTraits<decltype(M)>;
  using Sig = typename Traits::Sig;
  return MemberBinding{reinterpret_cast<SlotPtr>(&Sig::template slot<M>), &Sig::adapter, Traits::params(),
                       Sig::resultShape};
}

}  // namespace tov::automation
