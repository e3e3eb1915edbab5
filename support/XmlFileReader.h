#pragma once
// Reads a whole file into memory the XML parser can take over.
#include <cstdint>
#include <string>

#include "support/XmlBuffer.h"
#include "support/XmlLoadError.h"

namespace tov {

class XmlFileReader {
 public:
  // Larger files are refused rather than risking the memory of the process.
  static constexpr std::uint64_t kSizeLimit = std::uint64_t{2} << 30;  // 2 GiB

  struct Result {
    XmlBuffer bytes;
    XmlLoadError error;
    bool ok() const { return !error.IsError(); }
  };

  static Result read(const std::string& path);
};

}  // namespace tov
