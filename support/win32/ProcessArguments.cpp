// The arguments as the program received them: its command line after its
// own name, split by the same rules ArgumentList applies everywhere.
#include "support/ProcessArguments.h"

#include <windows.h>

#include <string_view>

#include "support/ArgumentList.h"

namespace tov {
namespace {

// The program's name ends at the first blank outside quotes; backslashes
// mean nothing there.
std::u16string_view afterProgramName(std::u16string_view line) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    if (line[i] == u'"') quoted = !quoted;
    else if (!quoted && (line[i] == u' ' || line[i] == u'\t')) break;
  }
  return line.substr(i);
}

}  // namespace

std::vector<std::u16string> processArguments() {
  const wchar_t* line = ::GetCommandLineW();
  if (!line) return {};
  return ArgumentList::split(afterProgramName(reinterpret_cast<const char16_t*>(line)));
}

}  // namespace tov
