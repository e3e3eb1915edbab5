#pragma once
// Key codes and shift masks as the window events report them.
namespace tov::ui {

inline constexpr int kKeyBack = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyF1 = 112;

inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

}  // namespace tov::ui
