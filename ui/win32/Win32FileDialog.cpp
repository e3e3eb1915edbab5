// The system's open and save dialogs, started where the request says.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Text.h"
#include "ui/win32/Win32Toolkit.h"

namespace tov::ui {
namespace {

// "Label|*.a;*.b|Label|*.*" as the dialog takes it: pairs separated by NUL,
// the list ended by two.
std::wstring dialogFilter(std::u16string_view filter) {
  std::wstring out = win32::wide(filter);
  if (out.empty()) return out;
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

}  // namespace

bool showWin32FileDialog(const FileDialogRequest& request, std::u16string& chosen) {
  // Room for a long name; the dialog reports when it needs more.
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring initial = win32::wide(request.fileName).substr(0, name.size() - 1);
  std::copy(initial.begin(), initial.end(), name.begin());
  const std::wstring filter = dialogFilter(request.filter);
  const std::wstring directory = win32::wide(request.initialDirectory);
  auto* backend = dynamic_cast<Win32Backend*>(&Backend::current());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = backend ? backend->ownerWindow(request.ownerWindow) : ::GetActiveWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (request.save) {
    ofn.Flags |= OFN_OVERWRITEPROMPT;
  } else {
    ofn.Flags |= OFN_FILEMUSTEXIST;
  }
  const BOOL ok = request.save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
  if (!ok) return false;
  chosen = win32::fromWide(name.data());
  return true;
}

}  // namespace tov::ui
