// Reads a web-cluster page: lines newest first, reply headers and markup
// skipped, lines already in the receive window skipped (that is how a page
// fetched again adds nothing), announcement and WWV lines rewritten for the
// announcement window, spot lines rebuilt into the cluster columns. The
// poller gives it the windows and the pipeline as sinks. Example lines, with
// the column ruler:
//            1111111111222222222233333333334
//   1234567890123456789012345678901234567890
//   K1ABC      14025.0  DL1XYZ      up 2            1234 07 Dec
//   07 Dec 1200 K1ABC    SFI=150 A=5 K=1
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qn {

struct WebPageSinks {
  // The line occurs somewhere in the receive window already.
  std::function<bool(const std::string& line)> inReceiveWindow;
  // A new line for the receive window (the sink adds the line end).
  std::function<void(const std::string& line)> show;
  // The rewritten line occurs in the announcement window already.
  std::function<bool(const std::string& line)> inAnnouncementWindow;
  // A new "WWV de " or "To ALL de " line (without line end).
  std::function<void(const std::string& line)> announcement;
  // A standard spot line, CR LF included, for the pipeline.
  std::function<void(const std::string& line)> spot;
};

void ParseWebPage(std::string_view text, bool jac, const WebPageSinks& sinks);

// Reply headers and section marks ("HTTP/", "DATE:", "# DXS", ...).
bool IsWebHeaderLine(std::string_view line);
// 301 to 331: a line opening with a day of month and a blank (or "101".."131").
int WebAnnouncementValue(std::string_view line);
// A page spot line moved into the cluster columns (frequency ending at 17,
// DX call from 19), or empty when the line has no spot's decimal point at 17.
std::string RebuildWebSpotColumns(std::string_view line);

}  // namespace qn
