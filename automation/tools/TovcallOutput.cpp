#include "TovcallOutput.h"

#include <string>

#include "automation/VariantCoercion.h"
#include "platform/Utf.h"

namespace tovcall {
namespace {

using namespace tov::automation;

void printHex(const tov::ByteArray& bytes, std::FILE* out) {
  static const char kDigits[] = "0123456789abcdef";
  std::string line;
  for (std::uint8_t b : bytes.span()) {
    line.push_back(kDigits[b >> 4]);
    line.push_back(kDigits[b & 0xF]);
  }
  std::fprintf(out, "%s\n", line.c_str());
}

// Walks an object's enumerator, if it has one, printing each member.
bool printMembers(Dispatch* object, std::FILE* out) {
  Variant enumerator;
  DispParams none;
  HResult hr = slotOf<InvokeFn>(object, slots::kInvoke)(object, kDispIdNewEnum, kNullGuid, kLcidUser,
                                                       kDispatchMethod | kDispatchPropertyGet, &none, &enumerator,
                                                       nullptr, nullptr);
  if (failed(hr) || enumerator.type() != VarType::Unknown || !enumerator.unknownValue()) {
    std::fprintf(out, "[object]\n");
    return true;
  }
  ComPtr<EnumVariant> items;
  if (failed(queryInterface(enumerator.unknownValue(), kIidEnumVariant, items.putVoid()))) return false;
  Variant item;
  std::uint32_t fetched = 0;
  while (slotOf<EnumNextFn>(items.get(), slots::kEnumNext)(items.get(), 1, &item, &fetched) == kSOk && fetched == 1) {
    if (!printResult(item, out)) return false;
  }
  return true;
}

}  // namespace

bool printResult(const Variant& valueRef, std::FILE* out) {
  const Variant& value = valueRef.deref();
  switch (value.type()) {
    case VarType::Empty: return true;
    case VarType::Null: std::fprintf(out, "Null\n"); return true;
    case VarType::ByteArray: printHex(value.bytesValue(), out); return true;
    case VarType::Dispatch:
      if (!value.dispatchValue()) return std::fprintf(out, "Nothing\n"), true;
      return printMembers(value.dispatchValue(), out);
    case VarType::Unknown: std::fprintf(out, "[object]\n"); return true;
    default: break;
  }
  Variant text;
  if (failed(changeType(value, VarType::String, text))) return false;
  std::fprintf(out, "%s\n", tov::platform::toUtf8(text.stringValue()).c_str());
  return true;
}

}  // namespace tovcall
