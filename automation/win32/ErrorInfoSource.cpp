// Clients of the system's component model ask an object whether it gives
// error information for an interface (ISupportErrorInfo), then read the
// error from their thread (GetErrorInfo). So every failed call puts its
// error there, and the object says yes for every interface it answers.
#include "automation/ErrorInfoSource.h"

#include <windows.h>
#include <oleauto.h>

#include "automation/ComObject.h"

namespace tov::automation {
namespace {

HRESULT STDMETHODCALLTYPE interfaceSupportsErrorInfo(ErrorInfoSource* self, REFIID iid) {
  void* p = nullptr;
  if (failed(ComObject::ownerOf(self)->queryInterface(reinterpret_cast<const Guid&>(iid), &p))) return S_FALSE;
  ComObject::ownerOf(self)->release();
  return S_OK;
}

const SlotPtr kSupportErrorInfoTable[] = {
    reinterpret_cast<SlotPtr>(&unknown_slots::queryInterface),
    reinterpret_cast<SlotPtr>(&unknown_slots::addRef),
    reinterpret_cast<SlotPtr>(&unknown_slots::release),
    reinterpret_cast<SlotPtr>(&interfaceSupportsErrorInfo),
};

BSTR bstr(const std::u16string& text) {
  return ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

}  // namespace

const SlotPtr* errorInfoSourceTable() { return kSupportErrorInfoTable; }

bool isErrorInfoSourceIid(const Guid& iid) { return reinterpret_cast<const GUID&>(iid) == IID_ISupportErrorInfo; }

void publishCallError(const ErrorRecord& record) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(::CreateErrorInfo(&create))) return;
  auto setText = [&](HRESULT (STDMETHODCALLTYPE ICreateErrorInfo::*set)(LPOLESTR), const std::u16string& text) {
    BSTR value = bstr(text);
    (create->*set)(value);
    ::SysFreeString(value);
  };
  setText(&ICreateErrorInfo::SetSource, record.source);
  setText(&ICreateErrorInfo::SetDescription, record.description);
  setText(&ICreateErrorInfo::SetHelpFile, record.helpFile);
  create->SetHelpContext(static_cast<DWORD>(record.helpContext));
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    ::SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace tov::automation
