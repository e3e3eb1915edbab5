#include "automation/IdlWriter.h"

#include <cstdio>
#include <stdexcept>

#include "platform/CodePage.h"
#include "platform/Utf.h"

namespace tov::automation {
namespace {

std::string utf8(std::u16string_view s) { return platform::toUtf8(s); }

std::string guidText(const Guid& g) {
  const std::string braced = utf8(g.toString());
  return braced.substr(1, braced.size() - 2);
}

std::string hex(std::uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(value));
  return buf;
}

class Writer {
 public:
  Writer(const TypeLibraryDescription& library, const IdlOptions& options) : lib_(library), options_(options) {}

  std::string write();

 private:
  std::string quoted(std::u16string_view text) const;
  std::string attributes(std::vector<std::string> items) const;
  std::string objectType(std::u16string_view name) const;
  std::string typeName(const TypeRef& type) const;
  std::string defaultLiteral(const Variant& value) const;
  std::string parameter(const ParamDescription& param) const;
  void member(const MemberDescription& m);
  void enumeration(const EnumDescription& e);
  void interfaceBlock(const InterfaceDescription& i);
  void alias(const AliasDescription& a);
  void coclass(const ClassDescription& c);

  const TypeLibraryDescription& lib_;
  const IdlOptions& options_;
  std::string out_;
};

// A string literal; characters beyond ASCII as bytes of the text code page.
std::string Writer::quoted(std::u16string_view text) const {
  std::string s = "\"";
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      s += static_cast<char>(c);
    } else if (c < 0x80) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", static_cast<unsigned>(c));
      s += buf;
    } else {
      s += static_cast<char>(options_.textCodePage ? options_.textCodePage->encode(c) : '?');
    }
  }
  return s + "\"";
}

std::string Writer::attributes(std::vector<std::string> items) const {
  std::string s = "[";
  for (std::size_t i = 0; i < items.size(); ++i) s += (i ? ", " : "") + items[i];
  return s + "]";
}

// A class stands for its default interface.
std::string Writer::objectType(std::u16string_view name) const {
  if (name.empty()) return "IDispatch*";
  auto fromLibrary = [&](const TypeLibraryDescription& lib) -> std::string {
    if (const ClassDescription* c = lib.findClass(name)) return utf8(c->defaultInterface) + "*";
    if (lib.findInterface(name)) return utf8(name) + "*";
    return {};
  };
  if (std::string found = fromLibrary(lib_); !found.empty()) return found;
  for (const IdlImport& import : options_.imports) {
    if (!import.description) continue;
    if (std::string found = fromLibrary(*import.description); !found.empty()) return found;
  }
  if (const auto it = options_.objectTypes.find(name); it != options_.objectTypes.end()) return it->second + "*";
  throw std::invalid_argument("no interface for the object type " + utf8(name));
}

std::string Writer::typeName(const TypeRef& type) const {
  switch (type.kind) {
    case TypeKind::Void: return "void";
    case TypeKind::Boolean: return "VARIANT_BOOL";
    case TypeKind::Integer: return "short";
    case TypeKind::Long: return "long";
    case TypeKind::Double: return "double";
    case TypeKind::Date: return "DATE";
    case TypeKind::String: return "BSTR";
    case TypeKind::ByteArray: return "SAFEARRAY(unsigned char)";
    case TypeKind::Variant: return "VARIANT";
    case TypeKind::Object: return objectType(type.name);
    case TypeKind::Unknown: return "IUnknown*";
    case TypeKind::Enum: return lib_.findEnum(type.name) ? utf8(type.name) : "long";
  }
  return "VARIANT";
}

std::string Writer::defaultLiteral(const Variant& value) const {
  switch (value.type()) {
    case VarType::Boolean: return isTrue(value.boolValue()) ? "-1" : "0";
    case VarType::Integer: return std::to_string(value.integerValue());
    case VarType::Long: return std::to_string(value.longValue());
    case VarType::Double: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.17g", value.doubleValue());
      return buf;
    }
    case VarType::String: return quoted(value.stringValue());
    default: throw std::invalid_argument("a default value of type " + utf8(automation::typeName(value.type())) + " has no IDL form");
  }
}

// What the frame's slot takes: by reference a pointer to the value; an
// optional parameter without default a VARIANT, which can say "missing".
std::string Writer::parameter(const ParamDescription& param) const {
  std::vector<std::string> attrs{param.byRef ? "in, out" : "in"};
  std::string type = typeName(param.type);
  if (param.optional) attrs.push_back("optional");
  if (param.optional && param.defaultValue) attrs.push_back("defaultvalue(" + defaultLiteral(*param.defaultValue) + ")");
  if (param.byRef) {
    type += "*";
  } else if (param.optional && !param.defaultValue) {
    type = "VARIANT";
  }
  return attributes(attrs) + " " + type + " " + utf8(param.name);
}

void Writer::member(const MemberDescription& m) {
  std::vector<std::string> attrs{"id(" + (m.id < 0 ? std::to_string(m.id) : hex(static_cast<std::uint32_t>(m.id))) +
                                 ")"};
  if (m.kind == MemberKind::PropertyGet) attrs.push_back("propget");
  if (m.flags & kMemberHidden) attrs.push_back("hidden");
  if (!m.help.empty()) attrs.push_back("helpstring(" + quoted(m.help) + ")");
  std::vector<std::string> params;
  for (const ParamDescription& p : m.params) params.push_back(parameter(p));
  if (m.result.kind != TypeKind::Void) params.push_back("[out, retval] " + typeName(m.result) + "* retVal");
  out_ += "    " + attributes(attrs) + "\n    HRESULT " + utf8(m.name) + "(";
  for (std::size_t i = 0; i < params.size(); ++i) out_ += (i ? ", " : "") + params[i];
  out_ += ");\n";
}

void Writer::enumeration(const EnumDescription& e) {
  std::vector<std::string> attrs;
  if (!e.help.empty()) attrs.push_back("helpstring(" + quoted(e.help) + ")");
  // The tag gives the enumeration itself the name, not only an alias of it.
  out_ += "  typedef " + (attrs.empty() ? std::string() : attributes(attrs) + " ") + "enum " + utf8(e.name) + " {\n";
  for (std::size_t i = 0; i < e.values.size(); ++i) {
    out_ += "    " + utf8(e.values[i].first) + " = " + std::to_string(e.values[i].second) +
            (i + 1 < e.values.size() ? ",\n" : "\n");
  }
  out_ += "  } " + utf8(e.name) + ";\n\n";
}

void Writer::interfaceBlock(const InterfaceDescription& i) {
  std::vector<std::string> attrs{"uuid(" + guidText(i.iid) + ")"};
  if (!i.help.empty()) attrs.push_back("helpstring(" + quoted(i.help) + ")");
  if (i.flags & kInterfaceHidden) attrs.push_back("hidden");
  if (i.flags & kInterfaceDual) attrs.push_back("dual");
  if (i.flags & kInterfaceNonExtensible) attrs.push_back("nonextensible");
  if (i.flags & kInterfaceOleAutomation) attrs.push_back("oleautomation");
  out_ += "  " + attributes(attrs) + "\n  interface " + utf8(i.name) + " : IDispatch {\n";
  for (const MemberDescription& m : i.members) member(m);
  out_ += "  };\n\n";
}

// An earlier identifier of an interface: the same table under another
// name, so a client built against it gets the current interface.
void Writer::alias(const AliasDescription& a) {
  const InterfaceDescription* target = lib_.findInterface(a.target);
  if (!target) throw std::invalid_argument("alias " + utf8(a.name) + " of no interface");
  std::vector<std::string> attrs{"uuid(" + guidText(a.iid) + ")", "hidden"};
  if (target->flags & kInterfaceDual) attrs.push_back("dual");
  if (target->flags & kInterfaceNonExtensible) attrs.push_back("nonextensible");
  if (target->flags & kInterfaceOleAutomation) attrs.push_back("oleautomation");
  out_ += "  " + attributes(attrs) + "\n  interface " + utf8(a.name) + " : " + utf8(a.target) + " {\n  };\n\n";
}

void Writer::coclass(const ClassDescription& c) {
  std::vector<std::string> attrs{"uuid(" + guidText(c.clsid) + ")"};
  if (!c.help.empty()) attrs.push_back("helpstring(" + quoted(c.help) + ")");
  if (c.flags & kClassAppObject) attrs.push_back("appobject");
  if (!c.creatable()) attrs.push_back("noncreatable");
  out_ += "  " + attributes(attrs) + "\n  coclass " + utf8(c.name) + " {\n    [default] interface " +
          utf8(c.defaultInterface) + ";\n  };\n\n";
}

std::string Writer::write() {
  out_ = "// Written by the build from the library's type description: edits here are lost.\n";
  out_ += "import \"oaidl.idl\";\nimport \"ocidl.idl\";\n\n";
  // The compiler needs the imported libraries' interfaces declared; the
  // type library then refers to them in their own library.
  for (const IdlImport& import : options_.imports) {
    if (!import.description) continue;
    for (const InterfaceDescription& i : import.description->interfaces) interfaceBlock(i);
  }
  std::vector<std::string> attrs{"uuid(" + guidText(lib_.libid) + ")",
                                 "version(" + std::to_string(lib_.majorVersion) + "." +
                                     std::to_string(lib_.minorVersion) + ")"};
  if (lib_.lcid != 0) attrs.push_back("lcid(" + hex(lib_.lcid) + ")");
  if (!lib_.help.empty()) attrs.push_back("helpstring(" + quoted(lib_.help) + ")");
  out_ += attributes(attrs) + "\nlibrary " + utf8(lib_.name) + "\n{\n";
  for (const IdlImport& import : options_.imports) {
    if (import.libraryName.empty()) out_ += "  importlib(\"" + import.typeLibraryFile + "\");\n";
  }
  for (std::u16string_view name : lib_.imports) {
    bool found = false;
    for (const IdlImport& import : options_.imports) {
      if (import.libraryName != name) continue;
      out_ += "  importlib(\"" + import.typeLibraryFile + "\");\n";
      found = true;
    }
    if (!found) throw std::invalid_argument("no type library file for the import " + utf8(name));
  }
  out_ += "\n";
  for (const InterfaceDescription& i : lib_.interfaces) out_ += "  interface " + utf8(i.name) + ";\n";
  out_ += "\n";
  for (const EnumDescription& e : lib_.enums) enumeration(e);
  for (const InterfaceDescription& i : lib_.interfaces) interfaceBlock(i);
  for (const AliasDescription& a : lib_.aliases) alias(a);
  for (const ClassDescription& c : lib_.classes) coclass(c);
  out_ += "};\n";
  return out_;
}

}  // namespace

std::string writeIdl(const TypeLibraryDescription& library, const IdlOptions& options) {
  return Writer(library, options).write();
}

}  // namespace tov::automation
