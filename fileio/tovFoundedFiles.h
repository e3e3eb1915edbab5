#pragma once
// One level of a search tree: the entries of one directory that match a
// mask, each directory among them holding the level found inside it.
//
//   tovFoundedFiles files;
//   files.RefreshEx(u"/var/log", u"*.log", false, [](std::u16string_view done) { return false; });
//   for (const FoundedFile& f : *files.items()) ...
//
// The search walks the tree without recursion, so a deep tree costs heap,
// not stack. It never enters a directory a second time on its way down
// (a link to one of its own parents is listed, not followed), and it
// stops where the platform refuses a path as too long.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/FoundedFile.h"

namespace ferrule {

class tovFoundedFiles {
 public:
  using Items = std::vector<FoundedFile>;
  // Told the Path of each level whose listing ran to its end, deepest
  // first; answers true to stop the whole search. May throw: the error
  // ends the search and reaches the caller.
  using Callback = std::function<bool(std::u16string_view path)>;

  tovFoundedFiles();
  ~tovFoundedFiles();
  tovFoundedFiles(const tovFoundedFiles&) = delete;
  tovFoundedFiles& operator=(const tovFoundedFiles&) = delete;

  // True when the last refresh completed and found something.
  bool HasSubItems() const { return hasSubItems_; }
  // The Path of the last refresh; "" before the first.
  const std::u16string& Path() const;
  // The total FileSize of the entries, computed at each request.
  double Size() const;

  // RefreshEx that follows links to directories.
  bool Refresh(std::u16string_view Path, std::u16string_view Mask);
  bool RefreshEx(std::u16string_view Path, std::u16string_view Mask, bool FollowReparsePoints = false,
                 const Callback& CallBackObject = {});
  // Lists Path/Mask (Path itself when the mask is blank or SearchWithParent
  // is set) and below it every directory whose name matches the mask. True
  // when the level was listed to its end; false when nothing matched, the
  // listing failed or the search was stopped below this level.
  bool RefreshEx2(std::u16string_view Path, std::u16string_view Mask, bool FollowReparsePoints,
                  const Callback& CallBackObject, bool SearchWithParent);

  std::int32_t Count() const;
  // Raises error 9 outside 0 .. Count() - 1.
  FoundedFile& Item(std::int32_t Index) const;

  // The entries of the last refresh. A refresh makes a new list, so a
  // holder of this one keeps its entries (and their levels) unchanged.
  std::shared_ptr<Items> items() const;

  // Set when the last search of this level ended with Cancel, or was
  // stopped below it; read by the level above.
  bool cancelled() const { return cancelled_; }

 private:
  friend class TreeSearch;

  std::shared_ptr<Items> items_;  // null: no entries yet
  std::shared_ptr<const std::u16string> path_;
  bool hasSubItems_ = false;
  bool cancelled_ = false;
};

}  // namespace ferrule
