#pragma once
// The type libraries a component library carries as its own TYPELIB
// resources (1, 2, ...), found by their identifiers.
#include <windows.h>
#include <oaidl.h>

#include "automation/Guid.h"

namespace tov::automation::win32 {

// The module holding this code (the library, not the program that loaded it).
HMODULE ownModule();
// Its file name; empty when it cannot be told.
std::wstring ownModulePath();

// The type information of interface `iid` from the embedded library `libid`.
HRESULT embeddedTypeInfo(const Guid& libid, const Guid& iid, ITypeInfo** out);

}  // namespace tov::automation::win32
