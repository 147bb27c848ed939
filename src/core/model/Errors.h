#pragma once

#include <stdexcept>
#include <string>

namespace tallyra {

// An error whose text is meant for the user as it stands. A handler that throws it is
// abandoned; the text is shown in a message box and the program goes on.
class UserError : public std::runtime_error {
 public:
  explicit UserError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace tallyra
