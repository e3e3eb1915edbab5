#include "fileio/TreeSearch.h"

#include <algorithm>

#include "platform/FileAttributes.h"
#include "platform/WinError.h"
#include "support/FileNameFunctions.h"

namespace ferrule {
namespace {

using namespace tov::platform;

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// The directory part of a pattern, as written: "/logs" for "/logs/*.log",
// "/" for "/x", "C:\" for "C:\x" (a drive's root, not its current
// directory), "" for a bare name (the current directory).
std::u16string directoryOf(std::u16string_view pattern) {
  std::size_t sep = pattern.size();
  while (sep > 0 && !isSeparator(pattern[sep - 1])) --sep;
  if (sep == 0) return {};
  std::size_t end = sep - 1;
  while (end > 0 && isSeparator(pattern[end - 1])) --end;
  if (end == 0) end = 1;
  if (end == 2 && pattern[1] == u':') end = 3;
  return std::u16string(pattern.substr(0, end));
}

bool isDotName(const std::u16string& name) { return name == u"." || name == u".."; }

}  // namespace

TreeSearch::TreeSearch(std::u16string_view mask, bool followReparsePoints, const tovFoundedFiles::Callback& callback)
    : mask_(mask),
      blankMask_(tov::asTrimEx(mask).empty()),
      maskNamesChildDirectly_(!blankMask_ && std::none_of(mask.begin(), mask.end(), isSeparator)),
      follow_(followReparsePoints),
      callback_(callback) {}

bool TreeSearch::run(tovFoundedFiles& level, std::u16string_view path, bool withParent) {
  try {
    if (!start(level, path, withParent, nullptr)) return false;
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      if (frame.next == frame.items->size()) {
        complete();
        unwind();
        continue;
      }
      FoundedFile& entry = (*frame.items)[frame.next++];
      if (shouldEnter(entry)) {
        const std::u16string below = pathBelow(frame, entry);
        entry.childs_ = std::make_unique<tovFoundedFiles>();
        // `frame` may move when the stack grows; nothing uses it after.
        if (start(*entry.childs_, below, false, &entry)) continue;
      }
      entry.settleCompressedSize();
    }
  } catch (...) {
    abandon();
    throw;
  }
  return startingLevelComplete_;
}

bool TreeSearch::start(tovFoundedFiles& level, std::u16string_view path, bool withParent,
                       const FoundedFile* enteredFrom) {
  level.items_ = std::make_shared<tovFoundedFiles::Items>();
  level.path_ = std::make_shared<const std::u16string>(path);
  level.hasSubItems_ = true;

  const bool patternIsPath = withParent || blankMask_;
  const std::u16string pattern = patternIsPath ? std::u16string(path) : tov::asBuildFileName(path, mask_);
  Frame frame;
  frame.level = &level;
  frame.items = std::make_shared<tovFoundedFiles::Items>();
  frame.path = level.path_;
  const bool listed = PathIsRootW(pattern) ? listRoot(frame, pattern, patternIsPath)
                                           : listDirectory(frame, pattern, patternIsPath, enteredFrom);
  if (!listed) {
    level.hasSubItems_ = false;
    return false;
  }
  stack_.push_back(std::move(frame));
  return true;
}

// A root has no entry in any directory: the level holds the root itself.
bool TreeSearch::listRoot(Frame& frame, const std::u16string& pattern, bool) {
  FindData entry;
  entry.fileAttributes = GetFileAttributesW(pattern);
  const auto identity = fileIdentity(pattern);
  // A root that cannot be read matches nothing, rather than showing every
  // attribute bit of the failed query.
  if (entry.fileAttributes == kInvalidFileAttributes || !identity) return false;
  frame.shown = Shown{false, *identity};
  if (onTheWayDown(frame.shown)) return false;
  entry.fileName = pattern;
  entry.identity = *identity;
  frame.root = true;
  frame.listedDirectory = pattern;
  frame.items->emplace_back(std::move(entry), std::make_shared<const std::u16string>());
  return true;
}

bool TreeSearch::listDirectory(Frame& frame, const std::u16string& pattern, bool patternIsPath,
                               const FoundedFile* enteredFrom) {
  FindData entry;
  FindHandle find = findFirst(pattern, enteredFrom, entry);
  if (!find.valid()) return false;
  frame.shown = Shown{true, find.directory()};
  if (onTheWayDown(frame.shown)) return false;
  // A directory entered by its own name (not through a link) must be the
  // one that was listed above, not something put in its place since.
  if (enteredFrom && maskNamesChildDirectly_ && !enteredFrom->isReparsePoint() &&
      enteredFrom->identity() != FileIdentity{} && enteredFrom->identity() != find.directory()) {
    return false;
  }
  frame.listedDirectory = directoryOf(pattern);
  // The entries' Path is the directory they were found in: the level's
  // Path, or the directory part when the Path was the whole pattern.
  const FoundedFile::SharedText entryPath =
      patternIsPath ? std::make_shared<const std::u16string>(frame.listedDirectory) : frame.path;
  auto& items = *frame.items;
  // Room for the entries the listing holds, "." and ".." (which lead it)
  // left out: a level takes no more memory than its entries need.
  std::size_t expected = find.remaining() + 1;
  if (isDotName(entry.fileName) && expected >= 2) expected -= 2;
  items.reserve(expected);
  do {
    const bool skipped = (entry.fileAttributes & kFileAttributeDirectory) && isDotName(entry.fileName);
    if (!skipped) items.emplace_back(std::move(entry), entryPath);
  } while (FindNextFileW(find, entry));
  // Only the listing's own end makes it whole.
  if (GetLastError() != kErrorNoMoreFiles) return false;
  if (stack_.size() < keepOpen_) frame.find = std::move(find);
  if (items.capacity() > items.size() + items.size() / 4) items.shrink_to_fit();
  return true;
}

// A level below an entry is found from the directory the level above
// keeps open: by the entry's name, refusing a link where the entry was
// none. Its whole path serves where nothing is open.
FindHandle TreeSearch::findFirst(const std::u16string& pattern, const FoundedFile* enteredFrom, FindData& entry) {
  const FindHandle* base = stack_.empty() || !enteredFrom ? nullptr : &stack_.back().find;
  if (!base || !base->valid()) return FindFirstFileW(pattern, entry);
  const std::u16string below =
      blankMask_ ? enteredFrom->FileName() : tov::asBuildFileName(enteredFrom->FileName(), mask_);
  const bool followLink = enteredFrom->isReparsePoint() || !maskNamesChildDirectly_;
  // "." and ".." are passed over (listDirectory): not worth examining.
  FindHandle find = FindFirstFileBelow(*base, below, entry, followLink, false);
  if (find.valid() || GetLastError() != kErrorTooManyOpenFiles) return find;
  // Out of descriptors: let go of every directory held open and go on by
  // whole paths.
  keepOpen_ = 0;
  for (Frame& f : stack_) FindClose(f.find);
  return FindFirstFileW(pattern, entry);
}

bool TreeSearch::onTheWayDown(const Shown& shown) const {
  return std::any_of(stack_.begin(), stack_.end(), [&shown](const Frame& f) { return f.shown == shown; });
}

bool TreeSearch::shouldEnter(const FoundedFile& entry) const {
  return entry.isDirectory() && (follow_ || !entry.isReparsePoint());
}

std::u16string TreeSearch::pathBelow(const Frame& frame, const FoundedFile& entry) const {
  if (frame.root) return frame.listedDirectory;
  return tov::asBuildFileName(frame.listedDirectory, entry.FileName());
}

void TreeSearch::complete() {
  Frame& frame = stack_.back();
  tovFoundedFiles& level = *frame.level;
  // A callback may have refreshed this level meanwhile; what this search
  // found replaces it whole.
  level.items_ = frame.items;
  level.path_ = frame.path;
  level.hasSubItems_ = !frame.items->empty();
  if (stack_.size() == 1) startingLevelComplete_ = true;
  level.cancelled_ = callback_ ? callback_(level.Path()) : false;
}

void TreeSearch::unwind() {
  stack_.pop_back();
  while (!stack_.empty()) {
    Frame& frame = stack_.back();
    FoundedFile& entry = (*frame.items)[frame.next - 1];
    entry.settleCompressedSize();
    if (!entry.childs_->cancelled_) return;
    tovFoundedFiles& level = *frame.level;
    level.cancelled_ = true;
    level.hasSubItems_ = false;
    level.items_ = std::make_shared<tovFoundedFiles::Items>();
    level.path_ = frame.path;
    if (stack_.size() == 1) startingLevelComplete_ = false;
    stack_.pop_back();
  }
}

// A failure that leaves the search (a callback's error) leaves every level
// still on the way down empty, as a level that could not be listed.
void TreeSearch::abandon() {
  for (Frame& frame : stack_) {
    frame.level->items_ = std::make_shared<tovFoundedFiles::Items>();
    frame.level->path_ = frame.path;
    frame.level->hasSubItems_ = false;
  }
  stack_.clear();
  startingLevelComplete_ = false;
}

}  // namespace ferrule
