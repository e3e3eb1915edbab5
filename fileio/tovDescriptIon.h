#pragma once
// The description list of one directory: the entries (file name,
// description) of a "Descript.ion" file, read into an ordered list that can
// be queried, edited and written back.
//
// The file is text in the OEM code page, one entry per line: the file name
// (in double quotes when it holds a blank), one space, the description.
// Keys are the file names compared without letter case (Latin, Greek and
// Cyrillic letters fold), and each name appears once: on reading, the
// first line for a name wins. Entries are numbered from 0 in the order of
// the file, or of their addition.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ferrule {

inline constexpr char16_t kDescriptionFileName[] = u"Descript.ion";

class tovDescriptIon {
 public:
  tovDescriptIon() = default;

  // The description file last read (also when it did not exist); "" after
  // Clear. Writing never changes it.
  const std::u16string& FileName() const { return fileName_; }
  // "" for an index outside 0 .. ItemCount() - 1.
  std::u16string ItemFileName(std::int32_t Index) const;
  std::u16string ItemDescription(std::int32_t Index) const;
  // "" when no entry has this name.
  std::u16string ItemDescriptionByFileName(std::u16string_view FileName) const;
  std::int32_t ItemCount() const { return static_cast<std::int32_t>(entries_.size()); }

  bool RemoveItem(std::int32_t Index);
  bool RemoveItemByFileName(std::u16string_view FileName);
  // Replaces the entry for the name, if any, by a new one at the end; the
  // entry takes the letter case given here. Nothing happens when either
  // argument is empty, or when the entry could not be written so that it
  // reads back as itself (see canBeWritten); the result tells whether the
  // entry is now in the list.
  bool AddItem(std::u16string_view FileName, std::u16string_view Description);
  void Clear();

  // Replaces the list by the file's entries. A missing file is an empty
  // list and success; any other failure gives false, with FileName empty
  // and the entries read before the failure kept.
  bool ReadFile(std::u16string_view FileName);
  // Writes the list to the named file, or to FileName() when the name is
  // empty. The new file replaces the old one in one step, so a failed write
  // leaves the old file as it was; the written file is marked hidden. An
  // empty list deletes the file instead.
  bool WriteFile(std::u16string_view FileName = {});
  // The same for the description file of a directory.
  bool ReadDirectoryFile(std::u16string_view PathName);
  bool WriteDirectoryFile(std::u16string_view PathName = {});

  // Whether an entry can be written so that reading the file gives the
  // same name and description back, in the current OEM code page: the name
  // holds no line break, does not begin with a double quote, and holds none
  // when it holds a blank (it is quoted then); the description is not one
  // double quote alone; both consist of characters the OEM code page holds.
  // Line breaks inside a description are written as single spaces. Every
  // entry read from a file can be written.
  static bool canBeWritten(std::u16string_view FileName, std::u16string_view Description);

  // The description file of a directory: "Descript.ion" there, or the one
  // existing file whose name differs from it only in letter case.
  static std::u16string descriptionFileOf(std::u16string_view PathName);

 private:
  // The texts of all entries lie one after another in one buffer, so a
  // long list costs a few allocations instead of several per entry.
  struct Entry {
    std::size_t nameAt;
    std::size_t nameLength;
    std::size_t descriptionAt;
    std::size_t descriptionLength;
    std::uint64_t order;  // increases along the list, so a position can be found by it
  };

  std::u16string_view nameOf(const Entry& e) const { return std::u16string_view(texts_).substr(e.nameAt, e.nameLength); }
  std::u16string_view descriptionOf(const Entry& e) const {
    return std::u16string_view(texts_).substr(e.descriptionAt, e.descriptionLength);
  }

  void reserveFor(std::u16string_view fileName);
  // Adds the entry at the end unless its key is taken; false then.
  bool append(std::u16string_view name, std::u16string_view description, std::u16string key);
  void removeAt(std::size_t position);
  void dropUnusedTexts();
  void parseLine(std::u16string_view line);
  std::size_t positionOf(std::u16string_view fileName) const;

  std::u16string fileName_;
  std::vector<Entry> entries_;
  std::u16string texts_;
  std::size_t unusedTexts_ = 0;  // left behind by removed entries
  // Folded name -> the entry's order number.
  std::unordered_map<std::u16string, std::uint64_t> orderOfKey_;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace ferrule
