#pragma once
// Standard list files: plain text, one item per line, with comment lines
// and blank lines, kept by hand.
#include <string>
#include <string_view>
#include <vector>

namespace ferrule {

// One item of a list file under its key: the decimal text of its position
// from 1 ("1", "2", ...), so an item can be fetched by its number as text.
struct ListFileItem {
  std::u16string key;
  std::u16string text;
};
using ListFileItems = std::vector<ListFileItem>;

namespace modStandardListFileSupport {

// The items of the file, in file order. The file's text is in the ANSI
// code page, or in the OEM one with IsOem. A line whose trimmed form is
// empty is blank (no item with IgnoreBlanks); a line whose trimmed form
// begins with CommentChar (case-sensitive, over its whole length) is a
// comment, and "" means there are none. Items are the trimmed lines with
// TrimStrings, else the lines as read. Every failure is raised (see
// readTextFileLines).
ListFileItems ReadListFileLines(std::u16string_view FileName, bool IsOem, std::u16string_view CommentChar,
                                bool IgnoreBlanks, bool TrimStrings);

}  // namespace modStandardListFileSupport
}  // namespace ferrule
