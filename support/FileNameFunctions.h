#pragma once
// File-name helpers of the support library. Both "/" and "\" separate name
// elements on input; produced paths use "/".
#include <string>
#include <string_view>

namespace tov {

// Absolute path of a name relative to the current directory, with "." and
// ".." elements resolved the way GetFullPathName does (without touching the
// file system beyond asking for the current directory).
std::u16string asGetFullFileName(std::u16string_view name);

// Extension of the last name element without its dot, or "" (also for a
// name ending in a dot).
std::u16string asGetFileExtension(std::u16string_view name);

// Directory part of a full name, without a final separator (except for the
// root itself); "" when the name has no directory part.
std::u16string asGetFilePath(std::u16string_view fullName);

// Name part after the last separator.
std::u16string asGetFileName(std::u16string_view fullName);

// Joins a directory and a name, with or without a final separator on the
// directory; keeps the directory's separator style.
std::u16string asBuildFileName(std::u16string_view directory, std::u16string_view name);

// True when the name is an existing file (not a directory).
bool asIsFileExist(std::u16string_view name);

// Leading and trailing blanks (spaces and tabs) removed.
std::u16string asTrimEx(std::u16string_view text);

}  // namespace tov
