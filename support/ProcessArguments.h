#pragma once
// The arguments this process was started with, without its own name, as
// the system hands them over.
#include <string>
#include <vector>

namespace tov {

std::vector<std::u16string> processArguments();

}  // namespace tov
