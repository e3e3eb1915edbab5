#include "fileio/tovFoundedFiles.h"

#include "fileio/TreeSearch.h"
#include "support/ErrorRecord.h"

namespace ferrule {
namespace {

const std::u16string& noText() {
  static const std::u16string empty;
  return empty;
}

}  // namespace

tovFoundedFiles::tovFoundedFiles() = default;

// A tree as deep as paths allow would take as many nested destructor calls;
// the levels below are taken apart one after another instead.
tovFoundedFiles::~tovFoundedFiles() {
  std::vector<std::unique_ptr<tovFoundedFiles>> below;
  auto collect = [&below](tovFoundedFiles& level) {
    // Entries someone else still holds keep their levels.
    if (!level.items_ || level.items_.use_count() != 1) return;
    for (FoundedFile& f : *level.items_) {
      if (f.childs_) below.push_back(std::move(f.childs_));
    }
  };
  collect(*this);
  while (!below.empty()) {
    std::unique_ptr<tovFoundedFiles> level = std::move(below.back());
    below.pop_back();
    collect(*level);
  }
}

const std::u16string& tovFoundedFiles::Path() const { return path_ ? *path_ : noText(); }

double tovFoundedFiles::Size() const {
  double total = 0;
  if (items_) {
    for (const FoundedFile& f : *items_) total += f.FileSize();
  }
  return total;
}

bool tovFoundedFiles::Refresh(std::u16string_view Path, std::u16string_view Mask) {
  return RefreshEx(Path, Mask, true, {});
}

bool tovFoundedFiles::RefreshEx(std::u16string_view Path, std::u16string_view Mask, bool FollowReparsePoints,
                                const Callback& CallBackObject) {
  return RefreshEx2(Path, Mask, FollowReparsePoints, CallBackObject, false);
}

bool tovFoundedFiles::RefreshEx2(std::u16string_view Path, std::u16string_view Mask, bool FollowReparsePoints,
                                 const Callback& CallBackObject, bool SearchWithParent) {
  return TreeSearch(Mask, FollowReparsePoints, CallBackObject).run(*this, Path, SearchWithParent);
}

std::int32_t tovFoundedFiles::Count() const { return items_ ? static_cast<std::int32_t>(items_->size()) : 0; }

FoundedFile& tovFoundedFiles::Item(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) tov::raiseError(tov::errors::kSubscriptOutOfRange);
  return (*items_)[static_cast<std::size_t>(Index)];
}

std::shared_ptr<tovFoundedFiles::Items> tovFoundedFiles::items() const {
  if (!items_) return std::make_shared<Items>();
  return items_;
}

}  // namespace ferrule
