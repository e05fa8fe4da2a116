#include "shell/user_interface.h"

namespace shell {

std::string ErrorBoxText(const std::string& text) {
  // Letters and digits sort after '.', so a sentence that ends in one of them
  // gets its full stop; one that already ends in punctuation keeps it.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
    return text + ".";
  }
  return text;
}

}  // namespace shell
