#include "support/TextConversions.h"

#include <new>

#include "platform/CodePage.h"
#include "platform/Utf.h"
#include "support/ErrorRecord.h"

namespace tov {
namespace {

// Conversions work on whole outputs; running out of memory is reported as
// the runtime's error, never as a crash.
template <typename F>
auto converting(F&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    raiseError(errors::kOutOfMemory);
  } catch (const std::length_error&) {
    raiseError(errors::kOutOfMemory);
  }
}

std::u16string recode(std::u16string_view text, const platform::CodePage& from, const platform::CodePage& to) {
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = to.decode(from.encode(text[i]));
  return out;
}

}  // namespace

ByteArray asStrConvB(std::u16string_view text) {
  return converting([&] { return ByteArray(platform::ansiCodePage().encode(text)); });
}

std::u16string asStrConvW(const ByteArray& bytes) {
  return converting([&] { return platform::ansiCodePage().decode(bytes.span()); });
}

std::u16string asAnsiToOem(std::u16string_view text) {
  return converting([&] { return recode(text, platform::oemCodePage(), platform::ansiCodePage()); });
}

std::u16string asOemToAnsi(std::u16string_view text) {
  return converting([&] { return recode(text, platform::ansiCodePage(), platform::oemCodePage()); });
}

std::u16string asUNICODEToUTF8(std::u16string_view text) {
  return converting([&] {
    std::string utf8;
    utf8.reserve(text.size() + text.size() / 2);
    platform::appendUtf8(utf8, text);
    const platform::CodePage& ansi = platform::ansiCodePage();
    std::u16string out(utf8.size(), u'\0');
    for (std::size_t i = 0; i < utf8.size(); ++i) out[i] = ansi.decode(static_cast<std::uint8_t>(utf8[i]));
    return out;
  });
}

}  // namespace tov
