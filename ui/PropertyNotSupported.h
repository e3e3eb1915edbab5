#pragma once
// Raised when a control is asked for a property its kind does not have, such
// as the caption of a text field. Callers that walk every control of a window
// rely on it to tell the kinds apart.
#include <stdexcept>
#include <string>

namespace tov::ui {

class PropertyNotSupported : public std::logic_error {
 public:
  PropertyNotSupported(const std::string& control, const std::string& property)
      : std::logic_error(control + " has no property " + property) {}
};

}  // namespace tov::ui
