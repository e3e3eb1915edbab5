#pragma once
// Modal message boxes. A box without a title of its own shows the
// application title. With a display the box is a real dialog; without one
// the text goes to stderr and the default button is returned at once, so
// unattended runs never wait for input.
#include <string>
#include <string_view>

#include "ui/MessageBoxRequest.h"

namespace tov::ui {

void setApplicationTitle(std::u16string title);
// The title set, or the program's file name when none was set.
std::u16string applicationTitle();

int MessageBox(std::u16string_view text, int style = kMbOk, std::u16string_view title = {});

}  // namespace tov::ui
