#pragma once
// Start-up: the usage box, the interactive window, or one unattended
// conversion from the command line.
#include <string>
#include <string_view>

namespace quillmark {

// Exit statuses, so scripts can tell what happened.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitConversionFailed = 1;
inline constexpr int kExitUsage = 2;

// The whole run; returns the process's exit status.
int Main();

void ShowUsage();

// The output name that belongs to an input name: its extension replaced by
// "TXT" ("chat.xml" -> "chat.TXT", "chat" -> "chat.TXT").
std::u16string MakeOutputFileName(std::u16string_view fileName);

}  // namespace quillmark
