#pragma once
// The type information of a component library: its interfaces with their
// members in slot order, its classes, enumerations and hidden interface
// aliases. Late binding (names, dispatch ids, parameter types, defaults),
// registration and the script clients all read it from here.
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/Guid.h"
#include "automation/Interfaces.h"
#include "automation/Variant.h"

namespace tov::automation {

// What a parameter or result holds. Enumerations travel as Long, objects as
// dispatch references.
enum class TypeKind { Void, Boolean, Integer, Long, Double, Date, String, ByteArray, Variant, Object, Unknown, Enum };

struct TypeRef {
  TypeKind kind = TypeKind::Void;
  // The enumeration, class or interface named, for Enum and Object.
  std::u16string_view name;
};

// The Variant type a value of this kind is converted to before a call.
VarType varTypeOf(TypeKind kind);

struct ParamDescription {
  std::u16string_view name;
  TypeRef type;
  bool optional = false;
  // Used when an optional parameter is omitted; without one the parameter
  // arrives as a missing Variant (or, by reference, as no storage at all).
  std::optional<Variant> defaultValue{};
  bool byRef = false;
};

enum class MemberKind { Method, PropertyGet };

inline constexpr std::uint32_t kMemberHidden = 0x1;
inline constexpr std::uint32_t kMemberDefault = 0x2;     // dispatch id 0
inline constexpr std::uint32_t kMemberEnumerator = 0x4;  // dispatch id -4

struct MemberDescription {
  int slot = 0;  // 1-based position after the seven dispatch slots
  std::u16string_view name;
  DispId id = 0;
  MemberKind kind = MemberKind::Method;
  std::vector<ParamDescription> params;
  TypeRef result;
  std::u16string_view help;
  std::uint32_t flags = 0;

  std::size_t requiredCount() const;
  // The 0-based position of a parameter, compared without letter case.
  std::optional<std::size_t> paramIndex(std::u16string_view paramName) const;
};

inline constexpr std::uint32_t kInterfaceHidden = 0x1;
inline constexpr std::uint32_t kInterfaceDual = 0x2;
inline constexpr std::uint32_t kInterfaceNonExtensible = 0x4;
inline constexpr std::uint32_t kInterfaceOleAutomation = 0x8;

struct InterfaceDescription {
  std::u16string_view name;
  Guid iid;
  std::uint32_t flags = 0;
  std::vector<MemberDescription> members;  // in slot order
  std::u16string_view help;

  const MemberDescription* findByName(std::u16string_view memberName) const;
  const MemberDescription* findById(DispId id) const;
};

inline constexpr std::uint32_t kClassCreatable = 0x1;
inline constexpr std::uint32_t kClassAppObject = 0x2;
inline constexpr std::uint32_t kClassPredeclared = 0x4;

struct ClassDescription {
  std::u16string_view name;
  Guid clsid;
  std::u16string_view defaultInterface;
  std::uint32_t flags = 0;
  std::u16string_view help;

  bool creatable() const { return (flags & kClassCreatable) != 0; }
};

struct EnumDescription {
  std::u16string_view name;
  std::vector<std::pair<std::u16string_view, std::int32_t>> values;  // in declaration order
  std::u16string_view help;
};

// A hidden interface identifier answered with another interface, kept so
// that clients built against an earlier version of it keep working.
struct AliasDescription {
  std::u16string_view name;
  Guid iid;
  std::u16string_view target;
};

struct TypeLibraryDescription {
  std::u16string_view name;
  Guid libid;
  std::uint16_t majorVersion = 1;
  std::uint16_t minorVersion = 0;
  Lcid lcid = 0;
  std::u16string_view help;
  std::vector<std::u16string_view> imports;
  std::vector<InterfaceDescription> interfaces;
  std::vector<ClassDescription> classes;
  std::vector<EnumDescription> enums;
  std::vector<AliasDescription> aliases;

  const InterfaceDescription* findInterface(std::u16string_view interfaceName) const;
  const InterfaceDescription* findInterface(const Guid& iid) const;
  const ClassDescription* findClass(std::u16string_view className) const;
  const ClassDescription* findClass(const Guid& clsid) const;
  const EnumDescription* findEnum(std::u16string_view enumName) const;
  // The identifiers an object of this interface answers to: its own and
  // those of its aliases.
  std::vector<Guid> iidsAnsweredBy(const InterfaceDescription& iface) const;
};

// Dispatch ids of the members that have no fixed id: a fixed base plus the
// slot, so they stay the same as long as the slot order does.
inline constexpr DispId kMemberDispIdBase = 0x60030000;

}  // namespace tov::automation
