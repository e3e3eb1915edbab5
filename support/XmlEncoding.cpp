#include "support/XmlEncoding.h"

#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/Utf.h"

namespace tov {
namespace {

using Bytes = std::span<const std::uint8_t>;

bool startsWith(Bytes bytes, std::initializer_list<std::uint8_t> prefix) {
  if (bytes.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (std::uint8_t b : prefix) {
    if (bytes[i++] != b) return false;
  }
  return true;
}

bool isXmlSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Reads the pseudo-attributes of `<?xml ... ?>` just far enough to find the
// encoding. Anything malformed is left for the parser to report.
std::optional<std::string> declaredEncoding(Bytes bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                              bytes.size() < 1024 ? bytes.size() : 1024);
  if (!text.starts_with("<?xml") || text.size() < 6 || !isXmlSpace(static_cast<std::uint8_t>(text[5]))) {
    return std::nullopt;
  }
  std::size_t i = 5;
  auto skipSpace = [&] {
    while (i < text.size() && isXmlSpace(static_cast<std::uint8_t>(text[i]))) ++i;
  };
  for (;;) {
    skipSpace();
    const std::size_t nameStart = i;
    while (i < text.size() && text[i] != '=' && text[i] != '?' &&
           !isXmlSpace(static_cast<std::uint8_t>(text[i])))
      ++i;
    const std::string_view name = text.substr(nameStart, i - nameStart);
    skipSpace();
    if (name.empty() || i >= text.size() || text[i] != '=') return std::nullopt;
    ++i;
    skipSpace();
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return std::nullopt;
    const char quote = text[i++];
    const std::size_t valueEnd = text.find(quote, i);
    if (valueEnd == std::string_view::npos) return std::nullopt;
    if (name == "encoding") return std::string(text.substr(i, valueEnd - i));
    i = valueEnd + 1;
  }
}

std::optional<unsigned> parseNumber(std::string_view digits) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// The Windows code page a (lower-case) encoding name stands for.
std::optional<unsigned> codePageNumber(std::string_view name) {
  if (name == "koi8-r") return 20866;
  if (name == "koi8-u") return 21866;
  for (std::string_view prefix : {"windows-", "x-cp", "cp-", "cp", "ibm-", "ibm"}) {
    if (name.starts_with(prefix)) return parseNumber(name.substr(prefix.size()));
  }
  if (name.starts_with("iso-8859-")) {
    const auto part = parseNumber(name.substr(9));
    if (part && *part >= 2 && *part <= 16) return 28590 + *part;
  }
  return std::nullopt;
}

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) {
    if (name == n) return true;
  }
  return false;
}

std::size_t appendUtf8(std::uint8_t* out, char32_t cp) {
  if (cp < 0x80) {
    out[0] = static_cast<std::uint8_t>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<std::uint8_t>(0xC0 | (cp >> 6));
    out[1] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<std::uint8_t>(0xE0 | (cp >> 12));
    out[1] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<std::uint8_t>(0xF0 | (cp >> 18));
  out[1] = static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
  return 4;
}

constexpr char32_t kReplacement = 0xFFFD;

char32_t validCodePoint(char32_t cp) {
  return (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) ? kReplacement : cp;
}

XmlBuffer singleByteToUtf8(const XmlBuffer& in, const platform::CodePage* page) {
  struct Sequence {
    std::uint8_t length;
    std::uint8_t bytes[3];
  };
  std::array<Sequence, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    const char32_t cp = page ? validCodePoint(page->decode(static_cast<std::uint8_t>(b))) : b;
    table[b].length = static_cast<std::uint8_t>(appendUtf8(table[b].bytes, cp));
  }
  std::size_t total = 0;
  for (std::size_t i = 0; i < in.size(); ++i) total += table[in.data()[i]].length;
  XmlBuffer out(total);
  std::uint8_t* p = out.data();
  for (std::size_t i = 0; i < in.size(); ++i) {
    const Sequence& s = table[in.data()[i]];
    for (std::uint8_t k = 0; k < s.length; ++k) *p++ = s.bytes[k];
  }
  return out;
}

char32_t readUnit(const std::uint8_t* p, std::size_t width, bool bigEndian) {
  char32_t value = 0;
  for (std::size_t k = 0; k < width; ++k) {
    const std::size_t shift = 8 * (bigEndian ? width - 1 - k : k);
    value |= static_cast<char32_t>(p[k]) << shift;
  }
  return value;
}

// UTF-16 or UTF-32 to UTF-8; unpaired surrogates, values beyond Unicode and
// a cut-off last unit each become U+FFFD rather than failing the load.
XmlBuffer unicodeToUtf8(const XmlBuffer& in, std::size_t width, bool bigEndian) {
  const std::size_t units = in.size() / width;
  XmlBuffer out(units * (width == 2 ? 3 : 4) + 3);
  std::uint8_t* p = out.data();
  std::size_t i = 0;
  if (units > 0 && readUnit(in.data(), width, bigEndian) == 0xFEFF) i = 1;
  for (; i < units; ++i) {
    char32_t cp = readUnit(in.data() + i * width, width, bigEndian);
    if (width == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units) {
      const char32_t low = readUnit(in.data() + (i + 1) * width, width, bigEndian);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    p += appendUtf8(p, validCodePoint(cp));
  }
  if (in.size() % width != 0) p += appendUtf8(p, kReplacement);
  out.truncate(static_cast<std::size_t>(p - out.data()));
  return out;
}

}  // namespace

XmlEncoding XmlEncoding::detect(std::span<const std::uint8_t> bytes) {
  if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) return XmlEncoding(Form::Utf8);
  if (startsWith(bytes, {0xFF, 0xFE, 0x00, 0x00}) || startsWith(bytes, {0x3C, 0x00, 0x00, 0x00})) {
    return XmlEncoding(Form::Utf32LE);
  }
  if (startsWith(bytes, {0x00, 0x00, 0xFE, 0xFF}) || startsWith(bytes, {0x00, 0x00, 0x00, 0x3C})) {
    return XmlEncoding(Form::Utf32BE);
  }
  if (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0x3C, 0x00, 0x3F, 0x00}))
    return XmlEncoding(Form::Utf16LE);
  if (startsWith(bytes, {0xFE, 0xFF}) || startsWith(bytes, {0x00, 0x3C, 0x00, 0x3F}))
    return XmlEncoding(Form::Utf16BE);
  const auto declared = declaredEncoding(bytes);
  return declared ? fromDeclaredName(*declared) : XmlEncoding(Form::Utf8);
}

XmlEncoding XmlEncoding::fromDeclaredName(const std::string& declared) {
  const std::string name = asciiLower(declared);
  if (isOneOf(name, {"utf-8", "utf8", "us-ascii", "ascii"})) return XmlEncoding(Form::Utf8);
  if (isOneOf(name,
              {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "latin-1", "l1", "cp819", "ibm819"})) {
    return XmlEncoding(Form::Latin1);
  }
  const std::u16string quoted = u"\"" + platform::fromUtf8(declared) + u"\"";
  if (name.starts_with("utf-16") || name.starts_with("utf-32") ||
      isOneOf(name, {"ucs-2", "ucs-4", "unicode"})) {
    // The declaration names a multi-byte form but the bytes are single-byte
    // text with no byte-order mark: reading them either way would guess.
    return failed(u"The file declares the encoding " + quoted +
                  u" but is not stored in it (no byte-order mark).");
  }
  if (const auto number = codePageNumber(name)) {
    if (*number == 65001) return XmlEncoding(Form::Utf8);
    if (const platform::CodePage* page = platform::CodePage::find(*number))
      return XmlEncoding(Form::CodePage, page);
  }
  return failed(u"The encoding " + quoted + u" declared in the file is not supported.");
}

XmlEncoding XmlEncoding::failed(std::u16string reason) {
  XmlEncoding encoding(Form::Utf8);
  encoding.error_ = XmlLoadError::fromReason(std::move(reason));
  return encoding;
}

XmlBuffer XmlEncoding::toUtf8(XmlBuffer bytes) const {
  switch (form_) {
    case Form::Utf8:
      return bytes;
    case Form::Latin1:
      return singleByteToUtf8(bytes, nullptr);
    case Form::CodePage:
      return singleByteToUtf8(bytes, page_);
    case Form::Utf16LE:
      return unicodeToUtf8(bytes, 2, false);
    case Form::Utf16BE:
      return unicodeToUtf8(bytes, 2, true);
    case Form::Utf32LE:
      return unicodeToUtf8(bytes, 4, false);
    case Form::Utf32BE:
      return unicodeToUtf8(bytes, 4, true);
  }
  return bytes;
}

}  // namespace tov
