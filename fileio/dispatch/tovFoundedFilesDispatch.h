#pragma once
// tovFoundedFiles and FoundedFile as clients see them: _tovFoundedFiles
// over one level of the core search tree, _FoundedFile over one entry.
//
// A level made by a client owns its core level; the level below an entry
// (Childs) shares the list that entry is in, so it stays valid after the
// level above is refreshed or released. Entries become objects only when a
// client asks for them (Item, for each), and each is made once.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "automation/DispatchObject.h"
#include "automation/ObjectList.h"
#include "automation/Variant.h"
#include "fileio/tovFoundedFiles.h"

namespace ferrule {

class FoundedFileDispatch;

class tovFoundedFilesDispatch : public tov::automation::DispatchObject {
 public:
  using Variant = tov::automation::Variant;
  using VariantBool = tov::automation::VariantBool;
  template <typename T>
  using ComPtr = tov::automation::ComPtr<T>;

  tovFoundedFilesDispatch();
  // The level below an entry, sharing its core level.
  explicit tovFoundedFilesDispatch(std::shared_ptr<tovFoundedFiles> core);
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  VariantBool HasSubItems() const;
  std::u16string Path() const;
  double Size() const;
  VariantBool Refresh(std::u16string_view Path, std::u16string_view Mask);
  VariantBool RefreshEx(std::u16string_view Path, std::u16string_view Mask, VariantBool FollowReparsePoints,
                        const Variant& CallBackObject);
  VariantBool RefreshEx2(std::u16string_view Path, std::u16string_view Mask, VariantBool FollowReparsePoints,
                         const Variant& CallBackObject, VariantBool SearchWithParent);
  ComPtr<tov::automation::Dispatch> Item(std::int32_t Index) const;
  std::int32_t Count() const;
  ComPtr<tov::automation::Unknown> NewEnum() const;

  const tovFoundedFiles& core() const { return *core_; }

 private:
  // The element objects follow the core's list after every refresh,
  // whether it ended normally or by an error.
  void follow();

  std::shared_ptr<tovFoundedFiles> core_;
  tov::automation::ObjectList<FoundedFileDispatch> files_{u"tovFoundedFiles"};
};

class FoundedFileDispatch : public tov::automation::DispatchObject {
 public:
  using VariantBool = tov::automation::VariantBool;

  // `entry` keeps the list it is in alive.
  explicit FoundedFileDispatch(std::shared_ptr<FoundedFile> entry);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  tov::automation::ComPtr<tov::automation::Dispatch> Childs();
  std::u16string Path() const { return entry_->Path(); }
  std::int32_t FileAttributes() const { return static_cast<std::int32_t>(entry_->FileAttributes()); }
  template <std::uint32_t Bit>
  VariantBool attribute() const {
    return tov::automation::toVariantBool(entry_->hasAttribute(Bit));
  }
  tov::Date CreationTime() const { return entry_->CreationTime(); }
  tov::Date LastAccessTime() const { return entry_->LastAccessTime(); }
  tov::Date LastWriteTime() const { return entry_->LastWriteTime(); }
  double FileSize() const { return entry_->FileSize(); }
  double CompressedFileSize() const { return entry_->CompressedFileSize(); }
  std::u16string FileName() const { return entry_->FileName(); }
  std::u16string AlternateFileName() const { return entry_->AlternateFileName(); }

 private:
  std::shared_ptr<FoundedFile> entry_;
  tov::automation::ComPtr<tov::automation::Dispatch> childs_;  // made on first use, then the same object
};

}  // namespace ferrule
