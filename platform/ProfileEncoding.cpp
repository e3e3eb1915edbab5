#include "platform/ProfileEncoding.h"

#include "platform/CodePage.h"
#include "platform/Utf.h"

namespace tov::platform {
namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
  if (bytes.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (std::uint8_t b : prefix) {
    if (bytes[i++] != b) return false;
  }
  return true;
}

std::u16string decodeUtf16(std::span<const std::uint8_t> bytes, ProfileEncoding encoding) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) text.push_back(profileUnitAt(bytes, i, encoding));
  return text;
}

ByteVector encodeUtf16(std::u16string_view text, bool littleEndian) {
  ByteVector bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    const auto low = static_cast<std::uint8_t>(c & 0xFF);
    const auto high = static_cast<std::uint8_t>(c >> 8);
    bytes.push_back(littleEndian ? low : high);
    bytes.push_back(littleEndian ? high : low);
  }
  return bytes;
}

}  // namespace

DetectedEncoding detectProfileEncoding(std::span<const std::uint8_t> bytes, ProfileEncoding plain) {
  if (startsWith(bytes, {0xFF, 0xFE})) return {ProfileEncoding::Utf16Le, 2};
  if (startsWith(bytes, {0xFE, 0xFF})) return {ProfileEncoding::Utf16Be, 2};
  if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) return {ProfileEncoding::Utf8, 3};
  return {plain, 0};
}

std::size_t profileUnitSize(ProfileEncoding encoding) {
  return encoding == ProfileEncoding::Utf16Le || encoding == ProfileEncoding::Utf16Be ? 2 : 1;
}

char16_t profileUnitAt(std::span<const std::uint8_t> bytes, std::size_t offset, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::Utf16Le: return static_cast<char16_t>(bytes[offset] | (bytes[offset + 1] << 8));
    case ProfileEncoding::Utf16Be: return static_cast<char16_t>((bytes[offset] << 8) | bytes[offset + 1]);
    default: return bytes[offset];
  }
}

std::u16string decodeProfileText(std::span<const std::uint8_t> bytes, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::Ansi: return ansiCodePage().decode(bytes);
    case ProfileEncoding::Utf8:
      return fromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    default: return decodeUtf16(bytes, encoding);
  }
}

ByteVector encodeProfileText(std::u16string_view text, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::Ansi: return ansiCodePage().encode(text);
    case ProfileEncoding::Utf8: {
      const std::string utf8 = toUtf8(text);
      return ByteVector(utf8.begin(), utf8.end());
    }
    case ProfileEncoding::Utf16Le: return encodeUtf16(text, true);
    case ProfileEncoding::Utf16Be: return encodeUtf16(text, false);
  }
  return {};
}

bool isRepresentable(std::u16string_view text, ProfileEncoding encoding) {
  return decodeProfileText(encodeProfileText(text, encoding), encoding) == text;
}

}  // namespace tov::platform
