#include "ui/FileDialog.h"

#include <utility>

namespace tov {
namespace {
FileDialog::Provider& provider() {
  static FileDialog::Provider p;
  return p;
}
}  // namespace

FileDialog::Provider FileDialog::setProvider(Provider p) { return std::exchange(provider(), std::move(p)); }

bool FileDialog::ask(bool save) {
  if (!provider()) return false;
  const FileDialogRequest request{save, FileName, Filter, OwnerWindow, InitialDirectory};
  std::u16string chosen;
  if (!provider()(request, chosen)) return false;
  FileName = std::move(chosen);
  return true;
}

}  // namespace tov
