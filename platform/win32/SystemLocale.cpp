// The system's own code pages and language identifiers. TOVAPPS_ACP and
// TOVAPPS_OEMCP still override the pages, as they do everywhere, so a
// script gets the same bytes on every system it runs on.
#include <windows.h>

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/CodePage.h"

namespace tov::platform {
namespace {

constexpr unsigned kFallbackAnsiPage = 1252;
constexpr unsigned kFallbackOemPage = 437;

std::optional<unsigned> pageFromVariable(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr) return std::nullopt;
  const std::string_view text(value);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (CodePage::find(number) == nullptr) return std::nullopt;
  return number;
}

// The single-byte pages are carried as tables; a system page that is not
// among them (the multi-byte pages of East Asia) falls back to the Western
// pair.
unsigned supported(unsigned page, unsigned fallback) { return CodePage::find(page) ? page : fallback; }

}  // namespace

unsigned GetACP() {
  if (const auto page = pageFromVariable("TOVAPPS_ACP")) return *page;
  return supported(::GetACP(), kFallbackAnsiPage);
}

unsigned GetOEMCP() {
  if (const auto page = pageFromVariable("TOVAPPS_OEMCP")) return *page;
  return supported(::GetOEMCP(), kFallbackOemPage);
}

const CodePage& ansiCodePage() { return *CodePage::find(GetACP()); }
const CodePage& oemCodePage() { return *CodePage::find(GetOEMCP()); }

std::uint16_t GetUserDefaultLangID() { return ::GetUserDefaultLangID(); }
std::uint16_t GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }

}  // namespace tov::platform
