#include "platform/CodePage.h"

#include <algorithm>
#include <memory>

#include "platform/CodePageTables.h"

namespace tov::platform {
namespace {

constexpr std::uint8_t kReplacementByte = '?';

using PageList = std::vector<std::unique_ptr<const CodePage>>;

const PageList& supportedPages() {
  static const PageList pages = [] {
    PageList list;
    for (const detail::CodePageTable& table : detail::codePageTables()) {
      list.push_back(std::make_unique<const CodePage>(table.number, *table.toUnicode));
    }
    return list;
  }();
  return pages;
}

}  // namespace

CodePage::CodePage(unsigned number, const char16_t (&toUnicode)[256])
    : number_(number), toUnicode_(toUnicode) {}

const CodePage* CodePage::find(unsigned number) {
  for (const auto& page : supportedPages()) {
    if (page->number() == number) return page.get();
  }
  return nullptr;
}

const CodePage::ReverseTable& CodePage::reverse() const {
  std::call_once(reverseBuilt_, [this] { buildReverse(); });
  return reverse_;
}

void CodePage::buildReverse() const {
  std::array<std::uint8_t, 256> unmapped;
  unmapped.fill(kReplacementByte);
  reverse_.blocks.assign(1, unmapped);
  // Walk the bytes downwards so that, should a table ever give two bytes the
  // same character, the lower byte is the one written back.
  for (int byte = 255; byte >= 0; --byte) {
    const char16_t c = toUnicode_[byte];
    std::uint16_t& block = reverse_.blockOfHighByte[c >> 8];
    if (block == 0) {
      block = static_cast<std::uint16_t>(reverse_.blocks.size());
      reverse_.blocks.push_back(unmapped);
    }
    reverse_.blocks[block][c & 0xFF] = static_cast<std::uint8_t>(byte);
  }
}

std::uint8_t CodePage::encode(char16_t c) const { return reverse().lookup(c); }

std::u16string CodePage::decode(std::span<const std::uint8_t> bytes) const {
  std::u16string text(bytes.size(), u'\0');
  std::transform(bytes.begin(), bytes.end(), text.begin(),
                 [table = toUnicode_](std::uint8_t byte) { return table[byte]; });
  return text;
}

ByteVector CodePage::encode(std::u16string_view text) const {
  ByteVector bytes(text.size());
  // Local copies of the table addresses: the byte stores may alias anything,
  // and would otherwise force a reload of them for every character.
  const ReverseTable& table = reverse();
  const std::uint16_t* blockOf = table.blockOfHighByte.data();
  const std::array<std::uint8_t, 256>* blocks = table.blocks.data();
  std::uint8_t* out = bytes.data();
  for (char16_t c : text) *out++ = blocks[blockOf[c >> 8]][c & 0xFF];
  return bytes;
}

}  // namespace tov::platform
