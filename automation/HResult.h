#pragma once
// Result codes of the component frame. A failed member call carries the
// automation error number in its low word (0x800A0000 + number); the frame's
// own failures use the standard dispatch and class-registry codes, so a
// client written against the usual codes reads them unchanged.
#include <cstdint>
#include <string>

namespace tov::automation {

using HResult = std::uint32_t;

inline constexpr bool succeeded(HResult hr) { return (hr & 0x80000000u) == 0; }
inline constexpr bool failed(HResult hr) { return !succeeded(hr); }

inline constexpr HResult kSOk = 0x00000000u;
inline constexpr HResult kSFalse = 0x00000001u;
inline constexpr HResult kENotImpl = 0x80004001u;
inline constexpr HResult kENoInterface = 0x80004002u;
inline constexpr HResult kEPointer = 0x80004003u;
inline constexpr HResult kEFail = 0x80004005u;
inline constexpr HResult kEUnexpected = 0x8000FFFFu;
inline constexpr HResult kEOutOfMemory = 0x8007000Eu;
inline constexpr HResult kEInvalidArg = 0x80070057u;
// A registry or library another user could change is refused with this.
inline constexpr HResult kEAccessDenied = 0x80070005u;

inline constexpr HResult kDispEUnknownInterface = 0x80020001u;
inline constexpr HResult kDispEMemberNotFound = 0x80020003u;
inline constexpr HResult kDispEParamNotFound = 0x80020004u;
inline constexpr HResult kDispETypeMismatch = 0x80020005u;
inline constexpr HResult kDispEUnknownName = 0x80020006u;
inline constexpr HResult kDispENoNamedArgs = 0x80020007u;
inline constexpr HResult kDispEBadVarType = 0x80020008u;
inline constexpr HResult kDispEException = 0x80020009u;
inline constexpr HResult kDispEOverflow = 0x8002000Au;
inline constexpr HResult kDispEBadIndex = 0x8002000Bu;
inline constexpr HResult kDispEBadParamCount = 0x8002000Eu;
inline constexpr HResult kDispEParamNotOptional = 0x8002000Fu;

inline constexpr HResult kClassENoAggregation = 0x80040110u;
inline constexpr HResult kClassEClassNotAvailable = 0x80040111u;
inline constexpr HResult kRegdbEClassNotReg = 0x80040154u;
inline constexpr HResult kCoEClassString = 0x800401F3u;
inline constexpr HResult kSelfregEClass = 0x80040201u;
inline constexpr HResult kSelfregETypeLib = 0x80040200u;

// What the loader reports when a registered library file cannot be loaded
// or lacks an entry point (the Win32 codes 126 and 127 as HRESULTs).
inline constexpr HResult kModNotFound = 0x8007007Eu;
inline constexpr HResult kProcNotFound = 0x8007007Fu;

// 0x800A0000 + number: the code of a failed call that raised `number`.
HResult hresultFromErrorNumber(std::int32_t number);

// The automation error number a client reports for a result: the number
// itself for 0x800A....; the runtime's equivalents for the standard frame
// codes (type mismatch 13, overflow 6, member not found 438, ...); 440
// ("Automation error") for anything else.
std::int32_t errorNumberFromHResult(HResult hr);

// "0x80020005" and a short English name of the code when it is a known one.
std::string describeHResult(HResult hr);

}  // namespace tov::automation
