// Opens a web address in the user's browser (the searches the program makes
// itself when no search helper is installed).
#pragma once

#include <string>

namespace qn {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when no browser could be asked to open it.
  virtual bool Open(const std::string& url) = 0;
};

}  // namespace qn
