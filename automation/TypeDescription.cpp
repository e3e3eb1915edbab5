#include "automation/TypeDescription.h"

#include "platform/CaseFold.h"

namespace tov::automation {

VarType varTypeOf(TypeKind kind) {
  switch (kind) {
    case TypeKind::Boolean: return VarType::Boolean;
    case TypeKind::Integer: return VarType::Integer;
    case TypeKind::Long:
    case TypeKind::Enum: return VarType::Long;
    case TypeKind::Double: return VarType::Double;
    case TypeKind::Date: return VarType::Date;
    case TypeKind::String: return VarType::String;
    case TypeKind::ByteArray: return VarType::ByteArray;
    case TypeKind::Object: return VarType::Dispatch;
    case TypeKind::Unknown: return VarType::Unknown;
    case TypeKind::Variant:
    case TypeKind::Void: return VarType::Variant;
  }
  return VarType::Variant;
}

std::size_t MemberDescription::requiredCount() const {
  std::size_t n = 0;
  for (const auto& p : params) n += p.optional ? 0 : 1;
  return n;
}

std::optional<std::size_t> MemberDescription::paramIndex(std::u16string_view paramName) const {
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (platform::equalsIgnoreCase(params[i].name, paramName)) return i;
  }
  return std::nullopt;
}

const MemberDescription* InterfaceDescription::findByName(std::u16string_view memberName) const {
  for (const auto& m : members) {
    if (platform::equalsIgnoreCase(m.name, memberName)) return &m;
  }
  return nullptr;
}

const MemberDescription* InterfaceDescription::findById(DispId id) const {
  for (const auto& m : members) {
    if (m.id == id) return &m;
  }
  return nullptr;
}

const InterfaceDescription* TypeLibraryDescription::findInterface(std::u16string_view interfaceName) const {
  for (const auto& i : interfaces) {
    if (platform::equalsIgnoreCase(i.name, interfaceName)) return &i;
  }
  return nullptr;
}

const InterfaceDescription* TypeLibraryDescription::findInterface(const Guid& iid) const {
  for (const auto& i : interfaces) {
    if (i.iid == iid) return &i;
  }
  return nullptr;
}

const ClassDescription* TypeLibraryDescription::findClass(std::u16string_view className) const {
  for (const auto& c : classes) {
    if (platform::equalsIgnoreCase(c.name, className)) return &c;
  }
  return nullptr;
}

const ClassDescription* TypeLibraryDescription::findClass(const Guid& clsid) const {
  for (const auto& c : classes) {
    if (c.clsid == clsid) return &c;
  }
  return nullptr;
}

const EnumDescription* TypeLibraryDescription::findEnum(std::u16string_view enumName) const {
  for (const auto& e : enums) {
    if (platform::equalsIgnoreCase(e.name, enumName)) return &e;
  }
  return nullptr;
}

std::vector<Guid> TypeLibraryDescription::iidsAnsweredBy(const InterfaceDescription& iface) const {
  std::vector<Guid> out{iface.iid};
  for (const auto& a : aliases) {
    if (platform::equalsIgnoreCase(a.target, iface.name)) out.push_back(a.iid);
  }
  return out;
}

}  // namespace tov::automation
