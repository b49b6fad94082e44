// Where a connect goes: the ad-hoc host text ("dxc.example.net:p7300:k10",
// "node.example:7300", "[::1]:7300", a bare site name) and a site's address
// (a host, or ".file" naming a host-list file "h1:23,7300;h2").
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/files.h"
#include "core/site_record.h"

namespace qn {

struct HostTarget {
  std::string host;
  std::string port = "23";       // a number, or a service name
  std::optional<int> keepAlive;  // minutes from ":k"; 0 or less switches it off
  bool isSiteName = false;       // a word without dot or port: connect that site
};

// random() gives numbers in [0, 1).
HostTarget ParseHostText(const std::string& text, const std::function<double()>& random);

// A port text of the ":p" rules: a number (above 65535 gives 23), a number and
// "-" (one of the next ten ports), or a service name.
std::string ChoosePort(const std::string& portText, const std::function<double()>& random);

// The host and port for a site record, reading its host-list file when the
// address starts with ".". A host-list file that cannot be read leaves the
// address as given.
HostTarget SiteTarget(const SiteRecord& site, const DataFolder& folder, const std::function<double()>& random);

}  // namespace qn
