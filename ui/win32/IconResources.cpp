// On Windows the icon groups are resources of the program itself (the
// resource script names them), so a group is found by its name there.
#include "ui/IconResources.h"

#include <windows.h>

namespace tov::ui {

void IconResources::define(std::u16string_view, std::string, std::vector<int>) {}

std::vector<std::u16string> IconResources::files(std::u16string_view group) {
  const std::wstring name(reinterpret_cast<const wchar_t*>(group.data()), group.size());
  if (name.empty() || !::FindResourceW(::GetModuleHandleW(nullptr), name.c_str(), RT_GROUP_ICON)) return {};
  return {u"#resource:" + std::u16string(group)};
}

void IconResources::setDataDirectories(std::vector<std::filesystem::path>) {}

}  // namespace tov::ui
