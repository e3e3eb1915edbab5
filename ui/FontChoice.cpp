#include "ui/FontChoice.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tov::ui {
namespace {

// Sans families close to the small dialog fonts the windows were laid out
// for, most alike first.
constexpr std::array<std::string_view, 7> kStandIns = {
    "DejaVu Sans", "Liberation Sans", "Noto Sans", "Arimo", "FreeSans", "Open Sans", "Ubuntu"};

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

const FontFamilyInfo* findCyrillic(std::string_view name, const std::vector<FontFamilyInfo>& installed) {
  for (const FontFamilyInfo& f : installed) {
    if (f.cyrillic && sameName(f.family, name)) return &f;
  }
  return nullptr;
}

}  // namespace

std::string chooseFontFamily(std::string_view requested, const std::vector<FontFamilyInfo>& installed) {
  if (const FontFamilyInfo* f = findCyrillic(requested, installed)) return f->family;
  for (std::string_view standIn : kStandIns) {
    if (const FontFamilyInfo* f = findCyrillic(standIn, installed)) return f->family;
  }
  for (const FontFamilyInfo& f : installed) {
    if (f.cyrillic && !f.fixedPitch) return f.family;
  }
  return {};
}

}  // namespace tov::ui
