#pragma once
// The client side of the component registry: finds the library that serves
// a class (the user's registrations first, then the machine's, as
// RegistrySearch reads them), loads it once per process, and asks its class factory for a new
// object. Failures come back as the standard results, never as a crash,
// with a message that names what is missing.
#include <string>
#include <string_view>

#include "automation/ComPtr.h"
#include "automation/ComponentRegistry.h"

namespace tov::automation {

// E_ACCESSDENIED for a registry or a library another user could change;
// REGDB_E_CLASSNOTREG for a class the registry does not know; the loader's
// codes for a library that cannot be loaded (kModNotFound) or lacks its
// entry point (kProcNotFound); otherwise what the library answers
// (CLASS_E_CLASSNOTAVAILABLE for a class it does not serve).
HResult CoGetClassObject(const Guid& clsid, const Guid& iid, void** out);
// Aggregation is not supported: a non-null `outer` gives CLASS_E_NOAGGREGATION.
HResult CoCreateInstance(const Guid& clsid, Unknown* outer, const Guid& iid, void** out);
// CO_E_CLASSSTRING for a ProgID the registry does not know; a braced class
// id is accepted too.
HResult CLSIDFromProgID(std::u16string_view progId, Guid* out);
// Unloads the libraries that report they are no longer in use.
void CoFreeUnusedLibraries();

// The text of the calling thread's last creation failure ("" after success).
std::string lastCreationMessage();

// A new object from a ProgID or a braced class id, as its dispatch
// interface. On failure the result is empty and `hr` tells why.
ComPtr<Dispatch> createDispatchObject(std::u16string_view progIdOrClsid, HResult& hr);

}  // namespace tov::automation
