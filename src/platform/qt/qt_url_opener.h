// The UrlOpener port on QDesktopServices: the user's browser opens the address.
#pragma once

#include "platform/url_opener.h"

namespace qn {

class QtUrlOpener : public UrlOpener {
 public:
  bool Open(const std::string& url) override;
};

}  // namespace qn
