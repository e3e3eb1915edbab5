#include "fileio/FileStream.h"

#include <cstring>

#include "support/SystemFunctions.h"

namespace ferrule {
namespace {

std::int32_t get32(const std::uint8_t* p) {
  std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  std::int32_t out;
  std::memcpy(&out, &v, sizeof out);
  return out;
}

}  // namespace

FileStream FileStream::fromHeader(std::span<const std::uint8_t, kHeaderSize> header,
                                  std::span<const std::uint8_t> nameBytes) {
  FileStream s;
  s.streamId_ = get32(header.data());
  s.attributes_ = get32(header.data() + 4);
  s.size_ = tov::asLargeIntegerToDouble(header.data() + 8);
  s.name_.reserve(nameBytes.size() / 2);
  for (std::size_t i = 0; i + 1 < nameBytes.size(); i += 2) {
    s.name_.push_back(static_cast<char16_t>(nameBytes[i] | nameBytes[i + 1] << 8));
  }
  if (nameBytes.empty() && s.StreamIDData()) s.name_ = u"::$DATA";
  return s;
}

std::u16string FileStream::ShortName() const {
  const std::size_t first = name_.find(u':');
  if (first == std::u16string::npos) return name_;
  std::u16string rest = name_.substr(first + 1);
  const std::size_t second = rest.find(u':');
  if (second != std::u16string::npos) rest.resize(second);
  return rest;
}

}  // namespace ferrule
