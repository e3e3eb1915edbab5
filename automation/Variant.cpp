#include "automation/Variant.h"

#include <iterator>

namespace tov::automation {

Variant Variant::null() { return make(NullBox{}); }
Variant Variant::missing() { return make(ErrorBox{kDispEParamNotFound}); }
Variant Variant::fromInteger(std::int16_t v) { return make(v); }
Variant Variant::fromLong(std::int32_t v) { return make(v); }
Variant Variant::fromDouble(double v) { return make(v); }
Variant Variant::fromDate(Date v) { return make(v); }
Variant Variant::fromString(std::u16string v) { return make(std::move(v)); }
Variant Variant::fromBool(bool v) { return make(BoolBox{toVariantBool(v)}); }
// Any non-zero bit pattern is True; what leaves the frame is exactly -1.
Variant Variant::fromBool(VariantBool v) { return make(BoolBox{toVariantBool(isTrue(v))}); }
Variant Variant::fromError(HResult code) { return make(ErrorBox{code}); }
Variant Variant::fromBytes(tov::ByteArray v) { return make(std::move(v)); }
Variant Variant::fromDispatch(Dispatch* p) { return make(ComPtr<Dispatch>(p)); }
Variant Variant::fromDispatch(ComPtr<Dispatch> p) { return make(std::move(p)); }
Variant Variant::fromUnknown(ComPtr<Unknown> p) { return make(std::move(p)); }
Variant Variant::byRef(Variant* target) { return make(target); }

VarType Variant::type() const {
  // The order of the alternatives in Storage.
  static constexpr VarType kTypes[] = {VarType::Empty,  VarType::Null,    VarType::Integer,  VarType::Long,
                                       VarType::Double, VarType::Date,    VarType::String,   VarType::Dispatch,
                                       VarType::Error,  VarType::Boolean, VarType::Unknown,  VarType::ByteArray,
                                       VarType::ByRefVariant};
  static_assert(std::size(kTypes) == std::variant_size_v<Storage>);
  return kTypes[value_.index()];
}

bool Variant::isMissing() const {
  const auto* e = std::get_if<ErrorBox>(&deref().value_);
  return e && e->code == kDispEParamNotFound;
}

Variant& Variant::deref() {
  Variant* v = this;
  while (auto* p = std::get_if<Variant*>(&v->value_)) v = *p;
  return *v;
}

const Variant& Variant::deref() const { return const_cast<Variant*>(this)->deref(); }

VariantBool* Variant::boolStorage() {
  auto* b = std::get_if<BoolBox>(&deref().value_);
  return b ? &b->value : nullptr;
}

bool Variant::operator==(const Variant& o) const { return deref().value_ == o.deref().value_; }

std::u16string_view typeName(VarType type) {
  switch (type) {
    case VarType::Empty: return u"Empty";
    case VarType::Null: return u"Null";
    case VarType::Integer: return u"Integer";
    case VarType::Long: return u"Long";
    case VarType::Double: return u"Double";
    case VarType::Date: return u"Date";
    case VarType::String: return u"String";
    case VarType::Dispatch: return u"Object";
    case VarType::Error: return u"Error";
    case VarType::Boolean: return u"Boolean";
    case VarType::Variant: return u"Variant";
    case VarType::Unknown: return u"Unknown";
    case VarType::ByteArray: return u"Byte()";
    case VarType::ByRefVariant: return u"ByRef Variant";
  }
  return u"?";
}

}  // namespace tov::automation
