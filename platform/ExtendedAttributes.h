#pragma once
// The extended attributes of an open file, read through its descriptor so
// that every look is at the same file, whatever happens to its name.
#include <string>
#include <vector>

#include "platform/ByteVector.h"

namespace tov::platform {

// The names of all attributes the caller may see, in the file system's
// order. A file system without extended attributes gives an empty list.
// errno-style result.
int listAttributeNames(int fd, std::vector<std::string>& names);

// The value of one attribute, however large the file system lets it grow
// (the list or the value may change between the size query and the read;
// that is retried). ENODATA when the file has no such attribute, E2BIG when
// the value is too large to be read at all. errno-style result.
int readAttribute(int fd, const std::string& name, ByteVector& value);

}  // namespace tov::platform
