#pragma once
// The value every late-bound call moves: one of the automation types, or a
// reference to another Variant for by-reference arguments.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "automation/ComPtr.h"
#include "automation/Interfaces.h"
#include "support/ByteArray.h"

namespace tov::automation {

// The automation type codes, so a dump reads like any automation trace.
enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Double = 5,
  Date = 7,
  String = 8,
  Dispatch = 9,
  Error = 10,
  Boolean = 11,
  Variant = 12,  // in a type description: any type; never the type of a value
  Unknown = 13,
  ByteArray = 0x2011,   // one-dimensional array of unsigned bytes
  ByRefVariant = 0x400C,  // a reference to another Variant
};

class Variant {
 public:
  Variant() = default;

  static Variant null();
  // An optional argument that was not given.
  static Variant missing();
  static Variant fromInteger(std::int16_t v);
  static Variant fromLong(std::int32_t v);
  static Variant fromDouble(double v);
  static Variant fromDate(Date v);
  static Variant fromString(std::u16string v);
  static Variant fromBool(bool v);
  static Variant fromBool(VariantBool v);
  static Variant fromError(HResult code);
  static Variant fromBytes(tov::ByteArray v);
  // Takes a reference of its own; a null pointer is the empty object.
  static Variant fromDispatch(Dispatch* p);
  static Variant fromDispatch(ComPtr<Dispatch> p);
  static Variant fromUnknown(ComPtr<Unknown> p);
  // The target must outlive this Variant; writes through it reach the target.
  static Variant byRef(Variant* target);

  VarType type() const;
  bool isMissing() const;
  bool isByRef() const { return std::holds_alternative<Variant*>(value_); }
  // The Variant a by-reference value points at, or this one.
  Variant& deref();
  const Variant& deref() const;

  // Each accessor expects its own type (after deref()); otherwise it throws
  // std::bad_variant_access, which is a fault of the caller.
  std::int16_t integerValue() const { return std::get<std::int16_t>(deref().value_); }
  std::int32_t longValue() const { return std::get<std::int32_t>(deref().value_); }
  double doubleValue() const { return std::get<double>(deref().value_); }
  Date dateValue() const { return std::get<Date>(deref().value_); }
  const std::u16string& stringValue() const { return std::get<std::u16string>(deref().value_); }
  VariantBool boolValue() const { return std::get<BoolBox>(deref().value_).value; }
  HResult errorValue() const { return std::get<ErrorBox>(deref().value_).code; }
  const tov::ByteArray& bytesValue() const { return std::get<tov::ByteArray>(deref().value_); }
  Dispatch* dispatchValue() const { return std::get<ComPtr<Dispatch>>(deref().value_).get(); }
  Unknown* unknownValue() const { return std::get<ComPtr<Unknown>>(deref().value_).get(); }

  // Storage of the value itself, for by-reference slot arguments.
  std::int32_t* longStorage() { return std::get_if<std::int32_t>(&deref().value_); }
  VariantBool* boolStorage();
  tov::ByteArray* bytesStorage() { return std::get_if<tov::ByteArray>(&deref().value_); }

  bool operator==(const Variant& o) const;

 private:
  struct NullBox {
    bool operator==(const NullBox&) const = default;
  };
  struct BoolBox {
    VariantBool value;
    bool operator==(const BoolBox&) const = default;
  };
  struct ErrorBox {
    HResult code;
    bool operator==(const ErrorBox&) const = default;
  };
  // A Variant crosses between separately built modules (a library, the
  // Python client, a program) by address, so the order of these
  // alternatives is part of the binary interface: a new type goes at the
  // end, never in between, and an existing one is never removed. The
  // checks below the class pin every position.
  using Storage = std::variant<std::monostate, NullBox, std::int16_t, std::int32_t, double, Date, std::u16string,
                               ComPtr<Dispatch>, ErrorBox, BoolBox, ComPtr<Unknown>, tov::ByteArray, Variant*>;
  friend struct VariantLayout;

  template <typename T>
  static Variant make(T v) {
    Variant r;
    r.value_ = std::move(v);
    return r;
  }

  Storage value_;
};

// The positions of Variant's alternatives, fixed for good (see Storage).
struct VariantLayout {
  template <std::size_t I>
  using At = std::variant_alternative_t<I, Variant::Storage>;
  static_assert(std::variant_size_v<Variant::Storage> == 13, "new alternatives go at the end; update the checks");
  static_assert(std::is_same_v<At<0>, std::monostate> && std::is_same_v<At<1>, Variant::NullBox> &&
                std::is_same_v<At<2>, std::int16_t> && std::is_same_v<At<3>, std::int32_t> &&
                std::is_same_v<At<4>, double> && std::is_same_v<At<5>, Date> &&
                std::is_same_v<At<6>, std::u16string> && std::is_same_v<At<7>, ComPtr<Dispatch>> &&
                std::is_same_v<At<8>, Variant::ErrorBox> && std::is_same_v<At<9>, Variant::BoolBox> &&
                std::is_same_v<At<10>, ComPtr<Unknown>> && std::is_same_v<At<11>, tov::ByteArray> &&
                std::is_same_v<At<12>, Variant*>,
                "an alternative moved: the order is part of the binary interface");
};

// Short text of a type code for messages ("String", "Long", ...).
std::u16string_view typeName(VarType type);

}  // namespace tov::automation
