#pragma once
// Extended attributes in the Windows EA list form (FILE_FULL_EA_INFORMATION
// entries one after another, each starting on a four-byte boundary), the
// form a backup's EA record carries.
#include <string>
#include <vector>

#include "platform/ByteVector.h"

namespace tov::platform {

struct NamedValue {
  std::string name;  // as stored, without the "user." namespace
  ByteVector value;
};

// One entry per attribute, in the order given. An attribute the form cannot
// state (a name over 255 bytes, a value over 65535 bytes: the form keeps
// both lengths in a byte and a 16-bit word) is left out rather than cut.
// An empty list gives no bytes.
ByteVector fullEaInformation(const std::vector<NamedValue>& attributes);

// Entries the form can state, so a caller can tell what was left out.
bool fitsFullEaInformation(const NamedValue& attribute);

}  // namespace tov::platform
