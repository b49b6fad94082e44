// Records the web addresses the core opens.
#pragma once

#include <string>
#include <vector>

#include "platform/url_opener.h"

namespace qn::fakes {

class FakeUrlOpener : public UrlOpener {
 public:
  bool Open(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
  std::vector<std::string> opened;
};

}  // namespace qn::fakes
