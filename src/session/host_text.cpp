#include "session/host_text.h"

#include <algorithm>
#include <vector>

#include "core/text.h"

namespace qn {

namespace {

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// The text after a marker up to the next ":".
std::string PartAfter(const std::string& text, std::size_t markerPos) {
  std::size_t start = markerPos + 2;
  std::size_t end = text.find(':', start);
  return Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t p = s.find(sep, start);
    parts.push_back(Trim(s.substr(start, p == std::string::npos ? std::string::npos : p - start)));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return parts;
}

std::size_t Pick(std::size_t n, const std::function<double()>& random) {
  auto i = static_cast<std::size_t>(static_cast<double>(n) * random());
  return std::min(i, n - 1);
}

}  // namespace

std::string ChoosePort(const std::string& portText, const std::function<double()>& random) {
  std::string p = Trim(portText);
  if (p.size() > 1 && p.back() == '-' && AllDigits(p.substr(0, p.size() - 1))) {
    long long base = ValInt(p.substr(0, p.size() - 1));
    long long port = base + static_cast<long long>(10 * random());
    return port > 65535 ? "23" : std::to_string(port);
  }
  if (AllDigits(p)) {
    // Leading zeros and absurd lengths both read by value.
    long long v = p.size() > 6 ? 65536 : ValInt(p);
    return v > 65535 || v < 1 ? "23" : std::to_string(v);
  }
  return p.empty() ? "23" : p;
}

HostTarget ParseHostText(const std::string& raw, const std::function<double()>& random) {
  HostTarget t;
  std::string text = Trim(raw);
  std::string rest;  // the part after the host, starting at its first ":"
  if (StartsWith(text, "[")) {
    auto close = text.find(']');
    t.host = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    rest = close == std::string::npos ? "" : text.substr(close + 1);
  } else {
    auto colon = text.find(':');
    t.host = Trim(text.substr(0, colon));
    rest = colon == std::string::npos ? "" : text.substr(colon);
  }
  std::string lower = LCase(rest);
  auto p = lower.find(":p");
  auto k = lower.find(":k");
  if (p == std::string::npos && k == std::string::npos && StartsWith(rest, ":")) {
    // "host:7300" is read as "host:p7300".
    rest = ":p" + rest.substr(1);
    lower = LCase(rest);
    p = 0;
  }
  if (p != std::string::npos) t.port = ChoosePort(PartAfter(rest, p), random);
  if (k != std::string::npos) t.keepAlive = static_cast<int>(ValInt(PartAfter(rest, k)));
  t.isSiteName = rest.empty() && t.host.find('.') == std::string::npos && !StartsWith(text, "[");
  return t;
}

HostTarget SiteTarget(const SiteRecord& site, const DataFolder& folder, const std::function<double()>& random) {
  HostTarget t;
  std::string address = site.Address();
  if (StartsWith(address, ".") && address.size() > 1) {
    if (auto text = folder.Read(address.substr(1))) {
      std::string first = Trim(SplitLines(*text).empty() ? "" : SplitLines(*text)[0]);
      auto entries = Split(first, ';');
      entries.erase(std::remove(entries.begin(), entries.end(), std::string()), entries.end());
      if (!entries.empty()) {
        const std::string& entry = entries[Pick(entries.size(), random)];
        auto colon = entry.find(':');
        t.host = Trim(entry.substr(0, colon));
        if (colon != std::string::npos) {
          auto ports = Split(entry.substr(colon + 1), ',');
          t.port = ChoosePort(ports[Pick(ports.size(), random)], random);
        }
        return t;
      }
    }
  }
  t.host = address;
  t.port = site.PortType() == '1' ? ChoosePort(site.CustomPort(), random) : "23";
  return t;
}

}  // namespace qn
