#pragma once
// Qt's keys as the window events report them: key codes and shift masks.
class QKeyEvent;

namespace tov::ui {

struct KeyPress {
  int keyCode = 0;  // 0 for keys the windows never see
  int shift = 0;
};

KeyPress keyPressFrom(const QKeyEvent& event);

}  // namespace tov::ui
