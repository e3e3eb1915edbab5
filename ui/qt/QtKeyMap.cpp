#include "ui/qt/QtKeyMap.h"

#include <QKeyEvent>

#include "ui/KeyCodes.h"

namespace tov::ui {
namespace {

int keyCodeOf(int key) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return kKeyF1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyReturn;
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kKeyTab;
    case Qt::Key_Backspace: return kKeyBack;
    case Qt::Key_Space: return kKeySpace;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: return 0;
  }
}

}  // namespace

KeyPress keyPressFrom(const QKeyEvent& event) {
  KeyPress press;
  press.keyCode = keyCodeOf(event.key());
  const Qt::KeyboardModifiers mods = event.modifiers();
  // Qt reports Shift+Tab as Backtab, sometimes without the modifier.
  if (mods & Qt::ShiftModifier || event.key() == Qt::Key_Backtab) press.shift |= kShiftMask;
  if (mods & Qt::ControlModifier) press.shift |= kCtrlMask;
  if (mods & Qt::AltModifier) press.shift |= kAltMask;
  return press;
}

}  // namespace tov::ui
