#pragma once
// The open/save file dialog. The dialog itself comes from the user
// interface in use (a real dialog with a display); without one no dialog
// can be shown and Ask* returns false, as if the user cancelled.
#include <cstdint>
#include <functional>
#include <string>

namespace tov {

struct FileDialogRequest {
  bool save = false;
  std::u16string fileName;          // initial name
  std::u16string filter;            // "Label|*.a;*.b|Label|*.*"
  std::int32_t ownerWindow = 0;
  std::u16string initialDirectory;
};

class FileDialog {
 public:
  // Shows the dialog; returns the chosen full name, or nothing when the
  // user cancelled.
  using Provider = std::function<bool(const FileDialogRequest&, std::u16string& chosen)>;

  std::u16string FileName;
  std::u16string Filter;
  std::int32_t OwnerWindow = 0;
  std::u16string InitialDirectory;

  bool AskOpenFile() { return ask(false); }
  bool AskSaveFile() { return ask(true); }

  // The user interface installs its dialog here; tests install a script.
  static Provider setProvider(Provider provider);

 private:
  bool ask(bool save);
};

}  // namespace tov
