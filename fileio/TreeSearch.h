#pragma once
// The walk behind tovFoundedFiles::RefreshEx2: lists a level, then enters
// each directory of it in order and lists that, with the levels on the way
// down kept on a stack of its own instead of the call stack. A level is
// complete, and its callback told, once every directory below it is; a
// callback that answers Cancel empties every level above the one it was
// told about.
#include <string>
#include <string_view>
#include <vector>

#include "fileio/tovFoundedFiles.h"

namespace ferrule {

class TreeSearch {
 public:
  TreeSearch(std::u16string_view mask, bool followReparsePoints, const tovFoundedFiles::Callback& callback);

  // The result of RefreshEx2 for the starting level.
  bool run(tovFoundedFiles& level, std::u16string_view path, bool withParent);

 private:
  // What a level shows, to tell a level that would repeat one on its way
  // down: the listing of a directory, or a root named as one entry.
  struct Shown {
    bool listing = true;
    tov::platform::FileIdentity directory;
    bool operator==(const Shown&) const = default;
  };
  struct Frame {
    tovFoundedFiles* level = nullptr;
    std::shared_ptr<tovFoundedFiles::Items> items;  // published when the level is complete
    std::shared_ptr<const std::u16string> path;     // the level's Path, published with them
    std::size_t next = 0;                           // the entry to take up next
    Shown shown;
    std::u16string listedDirectory;  // where the entries are, for the paths below them
    bool root = false;               // one entry naming a root; it leads to that root
    // Kept open once listed, so the levels below are found from it rather
    // than by their whole path.
    tov::platform::FindHandle find;
  };

  // Lists a level and puts it on the stack; false (and an empty level)
  // when there is nothing to put there. `enteredFrom` is the entry whose
  // level this is, null for the starting level.
  bool start(tovFoundedFiles& level, std::u16string_view path, bool withParent, const FoundedFile* enteredFrom);
  bool listRoot(Frame& frame, const std::u16string& pattern, bool patternIsPath);
  bool listDirectory(Frame& frame, const std::u16string& pattern, bool patternIsPath, const FoundedFile* enteredFrom);
  tov::platform::FindHandle findFirst(const std::u16string& pattern, const FoundedFile* enteredFrom,
                                      tov::platform::FindData& entry);
  bool onTheWayDown(const Shown& shown) const;
  bool shouldEnter(const FoundedFile& entry) const;
  std::u16string pathBelow(const Frame& frame, const FoundedFile& entry) const;
  // The level on top is listed to its end: publish it and tell the callback.
  void complete();
  // After the level on top was popped: settle the entry it belonged to and
  // empty the levels above it that a Cancel below stops.
  void unwind();
  void abandon();

  std::u16string mask_;
  bool blankMask_;
  bool maskNamesChildDirectly_;  // the mask lists the directory it is joined to
  bool follow_;
  const tovFoundedFiles::Callback& callback_;
  std::vector<Frame> stack_;
  // Levels on the way down keep their directory open up to this many, and
  // none once the process ran out of descriptors.
  std::size_t keepOpen_ = 256;
  bool startingLevelComplete_ = false;
};

}  // namespace ferrule
