#include "automation/MemberSignature.h"

#include "automation/VariantCoercion.h"

namespace tov::automation {
namespace {

std::u16string hex(unsigned value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string out(static_cast<std::size_t>(digits), u'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return out;
}

// Quoted the way Python's repr quotes, so both clients print the same.
std::u16string quoted(std::u16string_view text) {
  const bool hasSingle = text.find(u'\'') != std::u16string_view::npos;
  const bool hasDouble = text.find(u'"') != std::u16string_view::npos;
  const char16_t quote = hasSingle && !hasDouble ? u'"' : u'\'';
  std::u16string out(1, quote);
  for (char16_t c : text) {
    if (c == quote || c == u'\\') {
      out += u'\\';
      out += c;
    } else if (c == u'\n') {
      out += u"\\n";
    } else if (c == u'\r') {
      out += u"\\r";
    } else if (c == u'\t') {
      out += u"\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += u"\\x" + hex(c, 2);
    } else {
      out += c;
    }
  }
  out += quote;
  return out;
}

std::u16string valueText(const Variant& v) {
  switch (v.type()) {
    case VarType::String: return quoted(v.stringValue());
    case VarType::Empty:
    case VarType::Null: return u"None";
    default: break;
  }
  if (v.isMissing()) return u"Missing";
  Variant text;
  if (failed(changeType(v, VarType::String, text))) return u"?";
  return text.stringValue();
}

}  // namespace

std::u16string typeText(const TypeRef& type) {
  if (!type.name.empty()) return std::u16string(type.name);
  switch (type.kind) {
    case TypeKind::Void: return u"None";
    case TypeKind::Boolean: return u"Boolean";
    case TypeKind::Integer: return u"Integer";
    case TypeKind::Long: return u"Long";
    case TypeKind::Double: return u"Double";
    case TypeKind::Date: return u"Date";
    case TypeKind::String: return u"String";
    case TypeKind::ByteArray: return u"Byte()";
    case TypeKind::Variant: return u"Variant";
    case TypeKind::Object: return u"Object";
    case TypeKind::Unknown: return u"Unknown";
    case TypeKind::Enum: return u"Long";
  }
  return u"Variant";
}

std::u16string paramTypeText(const ParamDescription& param) {
  return (param.byRef ? u"ByRef " : u"") + typeText(param.type);
}

std::u16string defaultText(const ParamDescription& param) {
  if (!param.optional) return {};
  return param.defaultValue ? valueText(*param.defaultValue) : u"Missing";
}

std::u16string signatureText(const MemberDescription& member) {
  std::u16string out = u"(";
  for (std::size_t i = 0; i < member.params.size(); ++i) {
    const ParamDescription& p = member.params[i];
    if (i > 0) out += u", ";
    out += p.name;
    out += u": ";
    out += paramTypeText(p);
    if (p.optional) out += u" = " + defaultText(p);
  }
  out += u")";
  if (member.result.kind != TypeKind::Void) out += u" -> " + typeText(member.result);
  return out;
}

std::u16string memberLine(const MemberDescription& member) { return std::u16string(member.name) + signatureText(member); }

}  // namespace tov::automation
