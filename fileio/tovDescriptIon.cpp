#include "fileio/tovDescriptIon.h"

#include <algorithm>
#include <new>

#include "fileio/TextFileLines.h"
#include "platform/AtomicFileWriter.h"
#include "platform/CaseFold.h"
#include "platform/CodePage.h"
#include "platform/FileAttributes.h"
#include "platform/FileHandle.h"
#include "platform/FileNameCase.h"
#include "platform/FileStatus.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"
#include "support/FileNameFunctions.h"

namespace ferrule {
namespace {

namespace platform = tov::platform;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

std::u16string foldedKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) c = platform::foldCase(c);
  return key;
}

// The text without leading and trailing blanks, as asTrimEx trims, without
// a copy.
std::u16string_view trimmed(std::u16string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// What a name holds that the line's structure could take for its own.
struct NameShape {
  bool blank = false;
  bool lineBreak = false;
  bool quote = false;
};

NameShape shapeOf(std::u16string_view name) {
  NameShape shape;
  for (char16_t c : name) {
    shape.blank |= isBlank(c);
    shape.lineBreak |= isLineBreak(c);
    shape.quote |= c == u'"';
  }
  return shape;
}

// A name reads back as itself when nothing in it is taken for the line's
// structure: no line break ends it early, no double quote ends a quoted
// name early, and none at its start opens a quoted name where none was
// meant. A quote at the end of a name without blanks is fine: the reader
// drops one trailing quote, so one more is written.
bool readsBack(std::u16string_view name, const NameShape& shape) {
  if (name.empty() || shape.lineBreak) return false;
  if (shape.blank) return !shape.quote;
  return name.front() != u'"';
}

// A description that is one double quote once trimmed is skipped on
// reading. Line breaks count as blanks here: they are written as spaces.
bool isLoneQuote(std::u16string_view text) {
  auto blank = [](char16_t c) { return isBlank(c) || isLineBreak(c); };
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return e - b == 1 && text[b] == u'"';
}

// Appends the entry's line: the name, quoted when it holds a blank, one
// space, the description, CR LF. Every line break inside the description
// becomes one space, so a description can never spill onto a line of its
// own and pose as another file's entry.
bool appendEntryLine(std::u16string& out, std::u16string_view name, std::u16string_view description) {
  const NameShape shape = shapeOf(name);
  if (!readsBack(name, shape) || isLoneQuote(description)) return false;
  if (shape.blank) out.push_back(u'"');
  out += name;
  if (shape.blank || name.back() == u'"') out.push_back(u'"');
  out.push_back(u' ');
  while (!description.empty()) {
    const std::size_t lineBreak = description.find_first_of(u"\r\n");
    out += description.substr(0, lineBreak);
    if (lineBreak == std::u16string_view::npos) break;
    const bool pair = description.substr(lineBreak, 2) == u"\r\n";
    out.push_back(u' ');
    description.remove_prefix(lineBreak + (pair ? 2 : 1));
  }
  out += u"\r\n";
  return true;
}

// The OEM bytes of the text, or false when a character has none of its own
// (it would be written as "?" and read back as something else).
bool encodeExactly(std::u16string_view text, const platform::CodePage& oem, tov::ByteVector& bytes) {
  bytes = oem.encode(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (oem.decode(bytes[i]) != text[i]) return false;
  }
  return true;
}

// Deletes the description file of an emptied list. A read-only file goes
// too, as the list's owner means it to; if the deletion still fails, the
// file keeps the attributes it had.
bool deleteFile(const std::u16string& target) {
  const std::uint32_t attributes = platform::GetFileAttributesW(target);
  const bool readOnly = attributes != platform::kInvalidFileAttributes &&
                        (attributes & platform::kFileAttributeReadOnly);
  if (readOnly) platform::SetFileAttributesW(target, attributes & ~platform::kFileAttributeReadOnly);
  if (platform::DeleteFileW(target)) return true;
  if (readOnly) platform::SetFileAttributesW(target, attributes);
  return false;
}

}  // namespace

std::u16string tovDescriptIon::ItemFileName(std::int32_t Index) const {
  if (Index < 0 || Index >= ItemCount()) return {};
  return std::u16string(nameOf(entries_[static_cast<std::size_t>(Index)]));
}

std::u16string tovDescriptIon::ItemDescription(std::int32_t Index) const {
  if (Index < 0 || Index >= ItemCount()) return {};
  return std::u16string(descriptionOf(entries_[static_cast<std::size_t>(Index)]));
}

std::u16string tovDescriptIon::ItemDescriptionByFileName(std::u16string_view FileName) const {
  const std::size_t at = positionOf(FileName);
  return at == kNone ? std::u16string() : std::u16string(descriptionOf(entries_[at]));
}

bool tovDescriptIon::RemoveItem(std::int32_t Index) {
  if (Index < 0 || Index >= ItemCount()) return false;
  removeAt(static_cast<std::size_t>(Index));
  return true;
}

bool tovDescriptIon::RemoveItemByFileName(std::u16string_view FileName) {
  const std::size_t at = positionOf(FileName);
  if (at == kNone) return false;
  removeAt(at);
  return true;
}

bool tovDescriptIon::AddItem(std::u16string_view FileName, std::u16string_view Description) {
  if (FileName.empty() || Description.empty()) return false;
  // An entry that would be written mangled is refused before it can
  // displace the entry the name has now.
  if (!canBeWritten(FileName, Description)) return false;
  RemoveItemByFileName(FileName);
  append(FileName, Description, foldedKey(FileName));
  return true;
}

void tovDescriptIon::Clear() {
  fileName_.clear();
  entries_ = {};
  texts_ = {};
  unusedTexts_ = 0;
  orderOfKey_ = {};
}

bool tovDescriptIon::ReadFile(std::u16string_view FileName) {
  Clear();
  reserveFor(FileName);
  try {
    readTextFileLines(FileName, platform::oemCodePage(), [this](std::u16string_view line) { parseLine(line); });
  } catch (const tov::RuntimeError& e) {
    if (e.record().number != tov::errors::kFileNotFound) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  fileName_ = FileName;
  return true;
}

bool tovDescriptIon::WriteFile(std::u16string_view FileName) {
  const std::u16string target(FileName.empty() ? std::u16string_view(fileName_) : FileName);
  // A NUL would end the name early for the system, naming another file.
  if (target.empty() || target.find(u'\0') != std::u16string::npos) return false;
  try {
    const std::string path = platform::nativePath(target);
    // Someone who holds the file and refuses other writers keeps it.
    if (platform::FileHandle::wouldConflict(path, platform::kGenericWrite, platform::kFileShareRead)) return false;
    if (entries_.empty()) return !tov::asIsFileExist(target) || deleteFile(target);

    std::u16string text;
    std::size_t longest = 0;  // quotes, separator and line end included
    for (const Entry& e : entries_) longest += e.nameLength + e.descriptionLength + 5;
    text.reserve(longest);
    for (const Entry& e : entries_) {
      if (!appendEntryLine(text, nameOf(e), descriptionOf(e))) return false;
    }
    tov::ByteVector bytes;
    if (!encodeExactly(text, platform::oemCodePage(), bytes)) return false;
    // A list marked read-only is still the list to replace: the mark goes
    // first (the writer never replaces a read-only file), whatever comes of
    // it. The new list goes beside the old file and takes its place in one
    // step: a failure anywhere leaves the old content byte for byte.
    platform::SetFileAttributesW(target, platform::kFileAttributeNormal);
    platform::AtomicFileWriter writer(path);
    if (!writer.valid() || !writer.write(bytes) || !writer.commit()) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The list is in place; the attribute is only a mark, so failing to set
  // it does not undo the write.
  platform::SetFileAttributesW(target, platform::kFileAttributeHidden);
  return true;
}

bool tovDescriptIon::ReadDirectoryFile(std::u16string_view PathName) {
  return ReadFile(descriptionFileOf(PathName));
}

bool tovDescriptIon::WriteDirectoryFile(std::u16string_view PathName) {
  if (PathName.empty()) return WriteFile();
  return WriteFile(descriptionFileOf(PathName));
}

bool tovDescriptIon::canBeWritten(std::u16string_view FileName, std::u16string_view Description) {
  std::u16string line;
  tov::ByteVector bytes;
  return appendEntryLine(line, FileName, Description) && encodeExactly(line, platform::oemCodePage(), bytes);
}

std::u16string tovDescriptIon::descriptionFileOf(std::u16string_view PathName) {
  const std::u16string exact = tov::asBuildFileName(PathName, kDescriptionFileName);
  if (platform::linkStatus(platform::nativePath(exact)).exists) return exact;
  // Files copied from systems that ignore letter case often carry the name
  // in capitals or in small letters; reading and writing that file keeps
  // one list per directory instead of starting a second one beside it.
  const auto existing = platform::existingNameIgnoringCase(PathName, kDescriptionFileName);
  return existing ? tov::asBuildFileName(PathName, *existing) : exact;
}

// Room for the entries a file of this size usually holds, so reading a
// long list does not grow the list and its index step by step.
void tovDescriptIon::reserveFor(std::u16string_view fileName) {
  constexpr std::int64_t kTypicalLineLength = 48;
  constexpr std::int64_t kMostReserved = 1 << 20;
  const platform::FileStatus status = platform::fileStatus(platform::nativePath(fileName));
  if (!status.regular) return;
  const auto expected = static_cast<std::size_t>(std::min<std::int64_t>(status.size / kTypicalLineLength, kMostReserved));
  entries_.reserve(expected);
  // A file never makes more characters than it has bytes.
  texts_.reserve(static_cast<std::size_t>(status.size));
  orderOfKey_.reserve(expected);
}

bool tovDescriptIon::append(std::u16string_view name, std::u16string_view description, std::u16string key) {
  if (!orderOfKey_.try_emplace(std::move(key), nextOrder_).second) return false;
  const std::size_t nameAt = texts_.size();
  texts_ += name;
  texts_ += description;
  entries_.push_back(Entry{nameAt, name.size(), nameAt + name.size(), description.size(), nextOrder_++});
  return true;
}

void tovDescriptIon::removeAt(std::size_t position) {
  const Entry& e = entries_[position];
  orderOfKey_.erase(foldedKey(nameOf(e)));
  unusedTexts_ += e.nameLength + e.descriptionLength;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position));
  // A list edited for long keeps no more dead text than live text.
  if (unusedTexts_ > 4096 && unusedTexts_ > texts_.size() / 2) dropUnusedTexts();
}

void tovDescriptIon::dropUnusedTexts() {
  std::u16string kept;
  kept.reserve(texts_.size() - unusedTexts_);
  for (Entry& e : entries_) {
    const std::size_t nameAt = kept.size();
    kept += nameOf(e);
    kept += descriptionOf(e);
    e.nameAt = nameAt;
    e.descriptionAt = nameAt + e.nameLength;
  }
  texts_ = std::move(kept);
  unusedTexts_ = 0;
}

std::size_t tovDescriptIon::positionOf(std::u16string_view fileName) const {
  if (fileName.empty()) return kNone;
  const auto key = orderOfKey_.find(foldedKey(fileName));
  if (key == orderOfKey_.end()) return kNone;
  const auto at = std::lower_bound(entries_.begin(), entries_.end(), key->second,
                                   [](const Entry& e, std::uint64_t order) { return e.order < order; });
  return static_cast<std::size_t>(at - entries_.begin());
}

// One line of the file, already decoded: the name (quoted or up to the
// first blank) and the trimmed description after it. Lines that do not
// make an entry are skipped, never errors.
void tovDescriptIon::parseLine(std::u16string_view line) {
  if (line.empty() || isBlank(line.front())) return;
  std::size_t separator;
  if (line.front() == u'"') {
    separator = line.find(u'"', 1);
  } else {
    separator = std::min(line.find(u' '), line.find(u'\t'));
  }
  if (separator == std::u16string_view::npos) return;
  std::u16string_view name = line.substr(0, separator);
  if (!name.empty() && name.front() == u'"') name.remove_prefix(1);
  if (!name.empty() && name.back() == u'"') name.remove_suffix(1);
  if (name.empty()) return;
  std::u16string_view description = trimmed(line.substr(separator + 1));
  if (description == u"\"") return;
  // The first line for a name wins.
  append(name, description, foldedKey(name));
}

}  // namespace ferrule
