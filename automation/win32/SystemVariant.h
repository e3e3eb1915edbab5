#pragma once
// The system's VARIANT and the frame's Variant: what a client of the
// system's component model hands over is taken into the frame's values,
// and the frame's values go back as the system's, owned by the caller.
#include <windows.h>
#include <oleauto.h>

#include "automation/Variant.h"

namespace tov::automation::win32 {

// A by-reference VARIANT gives the value it points at. Types the frame has
// no value of (unsigned and 64-bit numbers, currency, decimal, single
// precision) are taken as the nearest one it has. S_OK, or the system's
// code for a value that cannot be taken (DISP_E_BADVARTYPE).
HRESULT fromSystem(const VARIANT& in, Variant& out);

// Writes `in` into `out`, which must be initialised; what `out` held is
// cleared first.
HRESULT toSystem(const Variant& in, VARIANT& out);

// The frame's identifiers and the system's are the same 16 bytes.
inline const GUID& systemGuid(const Guid& g) { return reinterpret_cast<const GUID&>(g); }
inline const Guid& frameGuid(const GUID& g) { return reinterpret_cast<const Guid&>(g); }
static_assert(sizeof(Guid) == sizeof(GUID));

}  // namespace tov::automation::win32
