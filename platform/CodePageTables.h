#pragma once
// The byte -> UTF-16 tables of the supported code pages, generated into
// CodePageTables.cpp by tools/gen_codepages.py. Only CodePage reads them.
#include <span>

namespace tov::platform::detail {

struct CodePageTable {
  unsigned number;
  const char16_t (*toUnicode)[256];
};

// Sorted by page number.
std::span<const CodePageTable> codePageTables();

}  // namespace tov::platform::detail
