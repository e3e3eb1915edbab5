#include "automation/InterfaceBinding.h"

#include <stdexcept>

#include "automation/DispatchObject.h"
#include "platform/Utf.h"

namespace tov::automation {
namespace {

Shape valueShape(TypeKind kind) {
  switch (kind) {
    case TypeKind::Void: return Shape::Void;
    case TypeKind::Boolean: return Shape::Boolean;
    case TypeKind::Integer: return Shape::Integer;
    case TypeKind::Long:
    case TypeKind::Enum: return Shape::Long;
    case TypeKind::Double: return Shape::Double;
    case TypeKind::Date: return Shape::Date;
    case TypeKind::String: return Shape::String;
    case TypeKind::ByteArray: return Shape::ByteArray;
    case TypeKind::Variant: return Shape::Variant;
    case TypeKind::Object: return Shape::Object;
    case TypeKind::Unknown: return Shape::Unknown;
  }
  return Shape::Void;
}

Shape byRefShape(TypeKind kind) {
  switch (kind) {
    case TypeKind::ByteArray: return Shape::ByteArrayRef;
    case TypeKind::Long:
    case TypeKind::Enum: return Shape::LongRef;
    case TypeKind::Boolean: return Shape::BooleanRef;
    case TypeKind::Variant: return Shape::VariantRef;
    default: return Shape::Void;  // no binary form: the check reports it
  }
}

std::string utf8(std::u16string_view s) { return platform::toUtf8(s); }

}  // namespace

Shape expectedShape(const ParamDescription& param) {
  if (param.byRef) return byRefShape(param.type.kind);
  // Without a default an omitted parameter must be seen as missing, which
  // only a Variant can show.
  if (param.optional && !param.defaultValue) return Shape::Variant;
  return valueShape(param.type.kind);
}

Shape expectedResultShape(const TypeRef& result) { return valueShape(result.kind); }

InterfaceBinding::InterfaceBinding(const TypeLibraryDescription& library, std::u16string_view interfaceName,
                                   std::vector<MemberBinding> members)
    : library_(library), description_(library.findInterface(interfaceName)) {
  if (!description_) throw std::logic_error("no interface " + utf8(interfaceName) + " in the type library");
  const auto& described = description_->members;
  if (members.size() != described.size()) {
    throw std::logic_error(utf8(interfaceName) + ": " + std::to_string(members.size()) + " members bound, " +
                           std::to_string(described.size()) + " described");
  }
  table_.assign(dispatchSlotTable().begin(), dispatchSlotTable().end());
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (described[i].slot != static_cast<int>(i) + 1) {
      throw std::logic_error(utf8(interfaceName) + "." + utf8(described[i].name) + ": slots out of order");
    }
    check(described[i], members[i]);
    table_.push_back(members[i].slot);
    adapters_.push_back(members[i].adapter);
  }
  iids_ = library.iidsAnsweredBy(*description_);
  iids_.push_back(kIidDispatch);
}

void InterfaceBinding::check(const MemberDescription& member, const MemberBinding& binding) const {
  const std::string where = utf8(description_->name) + "." + utf8(member.name);
  if (binding.params.size() != member.params.size()) {
    throw std::logic_error(where + ": parameter count differs from the description");
  }
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    if (binding.params[i] != expectedShape(member.params[i])) {
      throw std::logic_error(where + ": parameter " + utf8(member.params[i].name) + " has the wrong type");
    }
  }
  if (binding.result != expectedResultShape(member.result)) {
    throw std::logic_error(where + ": result has the wrong type");
  }
}

bool InterfaceBinding::answersTo(const Guid& iid) const {
  for (const Guid& g : iids_) {
    if (g == iid) return true;
  }
  return false;
}

InvokeAdapter InterfaceBinding::adapter(const MemberDescription& member) const {
  return adapters_[static_cast<std::size_t>(&member - description_->members.data())];
}

}  // namespace tov::automation
