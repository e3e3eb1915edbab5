#pragma once
// The application record handed to the components: who is asking.
#include <cstdint>
#include <string>

namespace tov {

struct AppInfo {
  std::u16string name;      // the application's name; names its settings file ("Quillmark")
  std::u16string title;     // "TOVapps - Quillmark"
  std::int32_t major = 0;
  std::int32_t minor = 0;
  std::int32_t revision = 0;
  std::u16string exeName;   // file name of the running program without extension
};

}  // namespace tov
