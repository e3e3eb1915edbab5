#pragma once
// One INI file read and written through IniDocument, with the Windows
// profile functions' error reporting: every call sets the thread's last
// error (kErrorSuccess, kErrorFileNotFound for a missing file or key, or the
// code of the failure).
//
// A write reads the file, edits its text and replaces it in one step. A
// file that exists but cannot be read is never replaced: the write fails,
// so nothing in it is lost.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/IniDocument.h"
#include "platform/ProfileEncoding.h"

namespace tov::platform {

// Windows' code for text that has no form in the target code page.
inline constexpr std::uint32_t kErrorNoUnicodeTranslation = 1113;

struct ProfileFormat {
  // Encoding of files without a byte-order mark and of files this creates.
  ProfileEncoding plainEncoding = ProfileEncoding::Ansi;
  // Line break of new lines in a file that has none yet to copy.
  std::u16string_view newLineEnd = u"\r\n";
};

// The Windows profile functions' format: ANSI, CR LF.
inline constexpr ProfileFormat kWindowsProfileFormat{};

class ProfileFile {
 public:
  // `path` is a native (UTF-8, "/") path.
  explicit ProfileFile(std::string path, ProfileFormat format = kWindowsProfileFormat);

  const std::string& path() const { return path_; }

  // The key's value, or nullopt when the file, section or key is missing or
  // the file cannot be read.
  std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;
  bool hasKey(std::u16string_view section, std::u16string_view key) const;

  // Each returns false on failure: kErrorInvalidParameter for a name or
  // value IniDocument cannot store, kErrorNoUnicodeTranslation for text the
  // file's encoding cannot hold (storing "?" instead would report success
  // for a value that never reads back). Removing what is not there succeeds
  // and leaves the file alone; a missing file is not created for it.
  bool setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  bool removeKey(std::u16string_view section, std::u16string_view key);
  bool removeSection(std::u16string_view section);

 private:
  std::optional<IniDocument> load(bool missingIsEmpty) const;
  bool save(const IniDocument& doc, bool changed);

  std::string path_;
  ProfileFormat format_;
};

}  // namespace tov::platform
