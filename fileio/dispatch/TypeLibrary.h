#pragma once
// The library's type information: every class, interface (members in slot
// order), enumeration and alias a client can see. The identifiers are in
// the interface description clients compile against.
#include "automation/TypeDescription.h"
#include "fileio/interface/Ferrule0101Ids.h"

namespace ferrule {

const tov::automation::TypeLibraryDescription& typeLibrary();

}  // namespace ferrule
