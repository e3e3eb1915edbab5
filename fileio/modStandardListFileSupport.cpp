#include "fileio/modStandardListFileSupport.h"

#include <string>

#include "fileio/TextFileLines.h"
#include "platform/CodePage.h"
#include "support/FileNameFunctions.h"

namespace ferrule::modStandardListFileSupport {

ListFileItems ReadListFileLines(std::u16string_view FileName, bool IsOem, std::u16string_view CommentChar,
                                bool IgnoreBlanks, bool TrimStrings) {
  ListFileItems items;
  const auto& page = IsOem ? tov::platform::oemCodePage() : tov::platform::ansiCodePage();
  // Each line is decoded before it is trimmed or tested: in an OEM file a
  // letter's byte may be a blank's byte in the ANSI page.
  readTextFileLines(FileName, page, [&](std::u16string_view line) {
    std::u16string trimmed = tov::asTrimEx(line);
    if (trimmed.empty() && IgnoreBlanks) return;
    if (!CommentChar.empty() && trimmed.starts_with(CommentChar)) return;
    const std::string number = std::to_string(items.size() + 1);
    std::u16string key(number.begin(), number.end());
    items.push_back({std::move(key), TrimStrings ? std::move(trimmed) : std::u16string(line)});
  });
  return items;
}

}  // namespace ferrule::modStandardListFileSupport
