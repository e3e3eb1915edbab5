#pragma once
// One message box as the program asks for it.
#include <string>
#include <vector>

namespace tov::ui {

// Style bits: the buttons in the low four bits, the icon in the next four,
// the default button in bits 8 and 9.
inline constexpr int kMbOk = 0;
inline constexpr int kMbOkCancel = 1;
inline constexpr int kMbAbortRetryIgnore = 2;
inline constexpr int kMbYesNoCancel = 3;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbRetryCancel = 5;
inline constexpr int kMbIconError = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconWarning = 48;
inline constexpr int kMbIconInformation = 64;

// Button ids a message box returns.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

enum class MessageBoxIcon { None, Error, Question, Warning, Information };

struct MessageBoxRequest {
  std::u16string text;
  int style = 0;
  std::u16string title;

  MessageBoxIcon icon() const;
  // The button ids in the order shown.
  std::vector<int> buttons() const;
  // The id of the button that Enter would choose.
  int defaultButton() const;
};

}  // namespace tov::ui
