#pragma once
// The font a window asks for, or the closest installed family with Cyrillic.
#include <QFont>
#include <string>

namespace tov::ui {

// Sized in pixels for 96 dpi, so text keeps its proportion to the layouts,
// which are in twips at 15 per pixel.
QFont fontFor(const std::u16string& family, double points);

}  // namespace tov::ui
