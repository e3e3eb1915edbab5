#include "platform/ProfileFile.h"

#include "platform/ProfileStorage.h"
#include "platform/WinError.h"

namespace tov::platform {

ProfileFile::ProfileFile(std::string path, ProfileFormat format) : path_(std::move(path)), format_(format) {}

// nullopt (with the last error set) when the file cannot be read; a missing
// file reads as an empty document only when `missingIsEmpty`.
std::optional<IniDocument> ProfileFile::load(bool missingIsEmpty) const {
  ByteVector bytes;
  const std::uint32_t err = readProfileBytes(path_, bytes);
  if (err != kErrorSuccess && !(missingIsEmpty && err == kErrorFileNotFound)) {
    SetLastError(err);
    return std::nullopt;
  }
  return IniDocument::fromBytes(bytes, format_.plainEncoding, format_.newLineEnd);
}

bool ProfileFile::save(const IniDocument& doc, bool changed) {
  const std::uint32_t err = changed ? replaceProfileBytes(path_, doc.toBytes()) : kErrorSuccess;
  SetLastError(err);
  return err == kErrorSuccess;
}

std::optional<std::u16string> ProfileFile::value(std::u16string_view section, std::u16string_view key) const {
  const std::optional<IniDocument> doc = load(false);
  if (!doc) return std::nullopt;
  std::optional<std::u16string> found = doc->value(section, key);
  SetLastError(found ? kErrorSuccess : kErrorFileNotFound);
  return found;
}

bool ProfileFile::hasKey(std::u16string_view section, std::u16string_view key) const {
  return value(section, key).has_value();
}

bool ProfileFile::setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (!IniDocument::isStorableSection(section) || !IniDocument::isStorableKey(key) ||
      !IniDocument::isStorableValue(value)) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  std::optional<IniDocument> doc = load(true);
  if (!doc) return false;
  const ProfileEncoding encoding = doc->encoding();
  if (!isRepresentable(section, encoding) || !isRepresentable(key, encoding) || !isRepresentable(value, encoding)) {
    SetLastError(kErrorNoUnicodeTranslation);
    return false;
  }
  return save(*doc, doc->setValue(section, key, value));
}

bool ProfileFile::removeKey(std::u16string_view section, std::u16string_view key) {
  std::optional<IniDocument> doc = load(true);
  return doc && save(*doc, doc->removeKey(section, key));
}

bool ProfileFile::removeSection(std::u16string_view section) {
  std::optional<IniDocument> doc = load(true);
  return doc && save(*doc, doc->removeSection(section));
}

}  // namespace tov::platform
