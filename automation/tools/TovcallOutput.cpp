#include "TovcallOutput.h"

#include <string>

#include "automation/DispatchClient.h"
#include "automation/MemberSignature.h"
#include "automation/VariantCoercion.h"
#include "platform/Utf.h"

namespace tovcall {
namespace {

using namespace tov::automation;

void printLine(const std::string& text, std::FILE* out) {
  std::fwrite(text.data(), 1, text.size(), out);
  std::fputc('\n', out);
}

void printHex(const tov::ByteArray& bytes, std::FILE* out) {
  static const char kDigits[] = "0123456789abcdef";
  std::string line;
  for (std::uint8_t b : bytes.span()) {
    line.push_back(kDigits[b >> 4]);
    line.push_back(kDigits[b & 0xF]);
  }
  printLine(line, out);
}

std::string interfaceName(const DispatchClient& client) {
  ComPtr<TypeInfo> holder;
  const InterfaceDescription* d = nullptr;
  if (failed(client.typeInfo(holder, &d)) || !d) return "object";
  return "object " + tov::platform::toUtf8(d->name);
}

bool printValue(const Variant& value, std::FILE* out, bool nested);

// The default member's value, when it needs no argument.
bool printDefault(const DispatchClient& client, std::FILE* out, bool& printed) {
  Variant value;
  printed = succeeded(client.invoke(kDispIdValue, kDispatchPropertyGet | kDispatchMethod, {}, {}, {}, &value, nullptr));
  return !printed || printValue(value, out, true);
}

bool printEnumeration(Unknown* enumerator, std::FILE* out) {
  ComPtr<EnumVariant> items;
  if (failed(queryInterface(enumerator, kIidEnumVariant, items.putVoid()))) return false;
  Variant item;
  std::uint32_t fetched = 0;
  while (slotOf<EnumNextFn>(items.get(), slots::kEnumNext)(items.get(), 1, &item, &fetched) == kSOk && fetched == 1) {
    if (!printValue(item, out, true)) return false;
  }
  return true;
}

bool printObject(Dispatch* object, std::FILE* out, bool nested) {
  const DispatchClient client{ComPtr<Dispatch>(object)};
  bool printed = false;
  if (!printDefault(client, out, printed)) return false;
  if (printed) return true;
  // A list is printed at the top only; inside one it would be ambiguous.
  Variant enumerator;
  if (!nested && succeeded(client.invoke(kDispIdNewEnum, kDispatchPropertyGet | kDispatchMethod, {}, {}, {},
                                         &enumerator, nullptr))) {
    const Variant& e = enumerator.deref();
    if (e.type() == VarType::Unknown && e.unknownValue()) return printEnumeration(e.unknownValue(), out);
  }
  printLine("[" + interfaceName(client) + "]", out);
  return true;
}

bool printValue(const Variant& valueRef, std::FILE* out, bool nested) {
  const Variant& value = valueRef.deref();
  switch (value.type()) {
    case VarType::Empty: return true;
    case VarType::Null: printLine("Null", out); return true;
    case VarType::ByteArray: printHex(value.bytesValue(), out); return true;
    case VarType::Dispatch:
      if (!value.dispatchValue()) return printLine("Nothing", out), true;
      return printObject(value.dispatchValue(), out, nested);
    case VarType::Unknown:
      if (value.unknownValue() && !nested) return printEnumeration(value.unknownValue(), out);
      printLine("[object]", out);
      return true;
    default: break;
  }
  Variant text;
  if (failed(changeType(value, VarType::String, text))) return false;
  printLine(tov::platform::toUtf8(text.stringValue()), out);
  return true;
}

}  // namespace

bool printResult(const Variant& value, std::FILE* out) { return printValue(value, out, false); }

void printMembers(const InterfaceDescription& iface, std::FILE* out) {
  printLine(tov::platform::toUtf8(iface.name), out);
  for (const auto& m : iface.members) {
    if (m.flags & kMemberHidden) continue;
    std::u16string line = u"  " + memberLine(m);
    if (m.kind == MemberKind::PropertyGet) line += u"  (property)";
    printLine(tov::platform::toUtf8(line), out);
    if (!m.help.empty()) printLine("      " + tov::platform::toUtf8(m.help), out);
  }
}

}  // namespace tovcall
