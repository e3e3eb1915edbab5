#include "fileio/dispatch/IFindFilesCallbackDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {

using namespace tov::automation;

const InterfaceBinding& IFindFilesCallbackDispatch::interfaceBinding() {
  static const InterfaceBinding binding(typeLibrary(), u"_IFindFilesCallback",
                                        {bindSlot<&IFindFilesCallbackDispatch::DirectoryCompleted>()});
  return binding;
}

IFindFilesCallbackDispatch::IFindFilesCallbackDispatch() : DispatchObject(interfaceBinding(), u"IFindFilesCallback") {}

HResult IFindFilesCallbackDispatch::create(const Guid& iid, void** out) {
  return createObject<IFindFilesCallbackDispatch>(iid, out);
}

void IFindFilesCallbackDispatch::DirectoryCompleted(std::u16string_view, VariantBool*) {}

}  // namespace ferrule
