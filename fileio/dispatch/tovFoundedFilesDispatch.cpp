#include "fileio/dispatch/tovFoundedFilesDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/FindFilesCallback.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "platform/FileAttributes.h"

namespace ferrule {
namespace {

using namespace tov::automation;
namespace attr = tov::platform;

constexpr VariantBool result(bool b) { return toVariantBool(b); }

}  // namespace

const InterfaceBinding& tovFoundedFilesDispatch::interfaceBinding() {
  using T = tovFoundedFilesDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovFoundedFiles",
      {bindSlot<&T::HasSubItems>(), bindSlot<&T::Path>(), bindSlot<&T::Size>(), bindSlot<&T::Refresh>(),
       bindSlot<&T::RefreshEx>(), bindSlot<&T::RefreshEx2>(), bindSlot<&T::Item>(), bindSlot<&T::Count>(),
       bindSlot<&T::NewEnum>()});
  return binding;
}

tovFoundedFilesDispatch::tovFoundedFilesDispatch()
    : DispatchObject(interfaceBinding(), u"tovFoundedFiles"), core_(std::make_shared<tovFoundedFiles>()) {}

tovFoundedFilesDispatch::tovFoundedFilesDispatch(std::shared_ptr<tovFoundedFiles> core)
    : DispatchObject(interfaceBinding(), u"tovFoundedFiles"), core_(std::move(core)) {
  follow();
}

HResult tovFoundedFilesDispatch::create(const Guid& iid, void** out) {
  return createObject<tovFoundedFilesDispatch>(iid, out);
}

void tovFoundedFilesDispatch::follow() {
  std::shared_ptr<tovFoundedFiles::Items> items = core_->items();
  const auto count = static_cast<std::int32_t>(items->size());
  files_.assign(count, [items = std::move(items)](std::int32_t i) {
    return makeDispatch<FoundedFileDispatch>(std::shared_ptr<FoundedFile>(items, &(*items)[static_cast<std::size_t>(i)]));
  });
}

VariantBool tovFoundedFilesDispatch::HasSubItems() const { return result(core_->HasSubItems()); }
std::u16string tovFoundedFilesDispatch::Path() const { return core_->Path(); }
double tovFoundedFilesDispatch::Size() const { return core_->Size(); }

VariantBool tovFoundedFilesDispatch::Refresh(std::u16string_view Path, std::u16string_view Mask) {
  return RefreshEx(Path, Mask, VariantBool::True, Variant::missing());
}

VariantBool tovFoundedFilesDispatch::RefreshEx(std::u16string_view Path, std::u16string_view Mask,
                                               VariantBool FollowReparsePoints, const Variant& CallBackObject) {
  return RefreshEx2(Path, Mask, FollowReparsePoints, CallBackObject, VariantBool::False);
}

VariantBool tovFoundedFilesDispatch::RefreshEx2(std::u16string_view Path, std::u16string_view Mask,
                                                VariantBool FollowReparsePoints, const Variant& CallBackObject,
                                                VariantBool SearchWithParent) {
  const FindFilesCallback callback(CallBackObject);
  // Held for the call: a callback may release the client's last reference.
  const ComPtr<Dispatch> self(dispatch());
  bool found = false;
  try {
    found = core_->RefreshEx2(Path, Mask, isTrue(FollowReparsePoints), callback.function(), isTrue(SearchWithParent));
  } catch (...) {
    follow();
    throw;
  }
  follow();
  return result(found);
}

ComPtr<Dispatch> tovFoundedFilesDispatch::Item(std::int32_t Index) const { return files_.item(Index); }
std::int32_t tovFoundedFilesDispatch::Count() const { return files_.count(); }
ComPtr<Unknown> tovFoundedFilesDispatch::NewEnum() const { return files_.newEnum(); }

const InterfaceBinding& FoundedFileDispatch::interfaceBinding() {
  using T = FoundedFileDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_FoundedFile",
      {bindSlot<&T::Childs>(),
       bindSlot<&T::Path>(),
       bindSlot<&T::FileAttributes>(),
       bindSlot<&T::attribute<attr::kFileAttributeReadOnly>>(),
       bindSlot<&T::attribute<attr::kFileAttributeHidden>>(),
       bindSlot<&T::attribute<attr::kFileAttributeSystem>>(),
       bindSlot<&T::attribute<attr::kFileAttributeDirectory>>(),
       bindSlot<&T::attribute<attr::kFileAttributeArchive>>(),
       bindSlot<&T::attribute<attr::kFileAttributeDevice>>(),
       bindSlot<&T::attribute<attr::kFileAttributeTemporary>>(),
       bindSlot<&T::attribute<attr::kFileAttributeSparseFile>>(),
       bindSlot<&T::attribute<attr::kFileAttributeReparsePoint>>(),
       bindSlot<&T::attribute<attr::kFileAttributeCompressed>>(),
       bindSlot<&T::attribute<attr::kFileAttributeOffline>>(),
       bindSlot<&T::attribute<attr::kFileAttributeNotContentIndexed>>(),
       bindSlot<&T::attribute<attr::kFileAttributeEncrypted>>(),
       bindSlot<&T::CreationTime>(),
       bindSlot<&T::LastAccessTime>(),
       bindSlot<&T::LastWriteTime>(),
       bindSlot<&T::FileSize>(),
       bindSlot<&T::CompressedFileSize>(),
       bindSlot<&T::FileName>(),
       bindSlot<&T::AlternateFileName>()});
  return binding;
}

FoundedFileDispatch::FoundedFileDispatch(std::shared_ptr<FoundedFile> entry)
    : DispatchObject(interfaceBinding(), u"FoundedFile"), entry_(std::move(entry)) {}

ComPtr<Dispatch> FoundedFileDispatch::Childs() {
  if (!childs_) {
    childs_ = makeDispatch<tovFoundedFilesDispatch>(std::shared_ptr<tovFoundedFiles>(entry_, &entry_->Childs()));
  }
  return childs_;
}

}  // namespace ferrule
