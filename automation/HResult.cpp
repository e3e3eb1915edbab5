#include "automation/HResult.h"

#include <cstdio>

namespace tov::automation {
namespace {

struct KnownCode {
  HResult hr;
  std::int32_t number;
  const char* name;
};

constexpr KnownCode kKnownCodes[] = {
    {kENotImpl, 445, "not implemented"},
    {kENoInterface, 430, "no such interface supported"},
    {kEPointer, 5, "invalid pointer"},
    {kEFail, 440, "unspecified failure"},
    {kEUnexpected, 440, "unexpected failure"},
    {kEOutOfMemory, 7, "out of memory"},
    {kEInvalidArg, 5, "invalid argument"},
    {kEAccessDenied, 70, "access denied"},
    {kDispEUnknownInterface, 440, "unknown interface"},
    {kDispEMemberNotFound, 438, "member not found"},
    {kDispEParamNotFound, 448, "named argument not found"},
    {kDispETypeMismatch, 13, "type mismatch"},
    {kDispEUnknownName, 438, "unknown name"},
    {kDispENoNamedArgs, 446, "named arguments not supported"},
    {kDispEBadVarType, 458, "bad variable type"},
    {kDispEException, 440, "exception occurred"},
    {kDispEOverflow, 6, "overflow"},
    {kDispEBadIndex, 9, "bad index"},
    {kDispEBadParamCount, 450, "wrong number of arguments"},
    {kDispEParamNotOptional, 449, "argument not optional"},
    {kClassENoAggregation, 429, "class does not support aggregation"},
    {kClassEClassNotAvailable, 429, "class not available from this library"},
    {kRegdbEClassNotReg, 429, "class not registered"},
    {kCoEClassString, 429, "invalid class string"},
    {kSelfregEClass, 440, "class registration failed"},
    {kSelfregETypeLib, 440, "type library registration failed"},
    {kModNotFound, 48, "component library not found or not loadable"},
    {kProcNotFound, 453, "entry point not found in component library"},
};

const KnownCode* findKnown(HResult hr) {
  for (const auto& k : kKnownCodes) {
    if (k.hr == hr) return &k;
  }
  return nullptr;
}

}  // namespace

HResult hresultFromErrorNumber(std::int32_t number) {
  return 0x800A0000u + (static_cast<std::uint32_t>(number) & 0xFFFFu);
}

std::int32_t errorNumberFromHResult(HResult hr) {
  if ((hr & 0xFFFF0000u) == 0x800A0000u) return static_cast<std::int32_t>(hr & 0xFFFFu);
  if (const KnownCode* k = findKnown(hr)) return k->number;
  return 440;
}

std::string describeHResult(HResult hr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", hr);
  std::string out = buf;
  if (const KnownCode* k = findKnown(hr)) {
    out += " (";
    out += k->name;
    out += ")";
  }
  return out;
}

}  // namespace tov::automation
