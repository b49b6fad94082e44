#include "web/web_page.h"

#include <array>

#include "core/text.h"
#include "traffic/line_conversions.h"
#include "web/web_exchange.h"

namespace qn {

bool IsWebHeaderLine(std::string_view line) {
  static const std::array<const char*, 15> kHeads = {"HTTP/", "MIME-", "CONTE", "LAST-", "SERVE",
                                                     "CONNE", "ETAG:", "DATE:", "ACCEP", "# ANN",
                                                     "# DXS", "# WWV", "AGE: ", "VIA: ", "KEEP-"};
  std::string head = UCase(line.substr(0, 5));
  for (const char* h : kHeads) {
    if (head == h) return true;
  }
  return false;
}

int WebAnnouncementValue(std::string_view line) {
  int offset = 0;
  auto digit = [&](std::size_t i) { return i < line.size() && line[i] >= '0' && line[i] <= '9'; };
  if (digit(0)) offset += 100;
  if (digit(1)) offset += 100;
  if (line.size() > 2 && line[2] == ' ') offset += 100;
  return static_cast<int>(ValInt32(UCase(line.substr(0, 3)))) + offset;
}

std::string RebuildWebSpotColumns(std::string_view line) {
  if (InStr(line, ".", 10) != 17 || line.size() < 18 || line[17] == ' ') return {};
  std::string spotter = Trim(Mid(line, 1, 8));
  std::string frequency = Trim(Mid(line, 9, 10));
  if (spotter.size() + frequency.size() > 17) return std::string(line);
  std::string rebuilt = spotter;
  rebuilt.append(17 - spotter.size() - frequency.size(), ' ');
  rebuilt += frequency + " " + PadRight(Mid(line, 20, 11), 11) + " " + Mid(line, 31);
  return rebuilt;
}

namespace {

void HandlePageLine(const std::string& line, const WebPageSinks& sinks) {
  if (line.empty() || line[0] == ' ' || line[0] == '<') return;
  if (sinks.inReceiveWindow && sinks.inReceiveWindow(line)) return;
  if (IsWebHeaderLine(line)) return;
  if (sinks.show) sinks.show(line);

  int value = WebAnnouncementValue(line);
  if (value >= 301 && value <= 331) {
    std::string rewritten = (InStr(line, "SFI=") == 20 ? "WWV de " : "To ALL de ") + Mid(line, 8);
    if (sinks.inAnnouncementWindow && sinks.inAnnouncementWindow(rewritten)) return;
    if (sinks.announcement) sinks.announcement(rewritten);
    return;
  }
  std::string columns = RebuildWebSpotColumns(line);
  if (columns.empty()) return;
  std::string spot = ConvertColumnLine(columns);
  if (!spot.empty() && sinks.spot) sinks.spot(spot);
}

}  // namespace

void ParseWebPage(std::string_view page, bool jac, const WebPageSinks& sinks) {
  if (jac && page.size() > kJacReplyLimit) page = page.substr(0, kJacReplyLimit);
  std::string text = "\n" + std::string(page);
  // A partial last line is dropped; the leading LF keeps at least that.
  if (text.back() != '\r' && text.back() != '\n') text.resize(text.find_last_of("\r\n") + 1);
  // Newest entries come first on a page: the lines are taken from the end.
  std::size_t end = text.size();
  while (end > 0) {
    std::size_t cut = text.find_last_of("\r\n", end - 1);
    if (cut == std::string::npos) break;
    HandlePageLine(text.substr(cut + 1, end - cut - 1), sinks);
    end = cut;
  }
}

}  // namespace qn
