#include "traffic/line_conversions.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/text.h"
#include "traffic/spot_line.h"

namespace qn {

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<std::string> SplitCarets(std::string_view s) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    auto caret = s.find('^', start);
    fields.push_back(Trim(s.substr(start, caret == std::string_view::npos ? caret : caret - start)));
    if (caret == std::string_view::npos) break;
    start = caret + 1;
  }
  return fields;
}

// The word starting at 1-based from, up to the next blank. Sets next to the
// position after that blank, 0 when no blank follows (the word is then missing).
std::string WordAt(std::string_view s, std::size_t from, std::size_t& next) {
  std::size_t space = InStr(s, " ", from);
  if (space == 0) {
    next = 0;
    return {};
  }
  next = space + 1;
  return Mid(s, from, space - from);
}

}  // namespace

std::string ConvertNodeRecord(std::string_view record) {
  // PC11^freq^dx call^date^time^comment^spotter^node^hops^~
  std::vector<std::string> f = SplitCarets(WithoutLineEnd(Mid(record, 6)));
  if (f.size() < 6 || f[0].empty() || f[1].empty() || f[5].empty()) return {};
  const std::string& frequency = f[0];
  const std::string& dxCall = f[1];
  const std::string& time = f[3];
  const std::string& comment = f[4];
  const std::string& spotter = f[5];
  return PadAtLeast("DX de " + spotter + ":", 15) + FitRight(frequency, 9) + "  " + PadRight(dxCall, 12) +
         " " + PadRight(SqueezeSpaces(comment), 30) + " " + FitRight(Right(time, 5), 5) + std::string(kCrLf);
}

std::size_t BridgeLinePosition(std::string_view line) {
  std::size_t at = InStr(line, "DX/");
  if (at == 0 || at >= 30) return 0;
  if (at == 1) return at;
  char before = line[at - 2];
  return before == '/' || IsAsciiAlnum(before) ? 0 : at;
}

bool ConvertBridgeLine(std::string& line, std::size_t& position, std::string_view utcHhmm) {
  if (position < 1 || Mid(line, position, 3) != "DX/") {
    position = 0;
    return false;
  }
  // The line end becomes " " CR LF, so the last word is followed by a blank.
  std::string s = std::string(WithoutLineEnd(Mid(line, position))) + " " + std::string(kCrLf);

  std::size_t space = InStr(s, " ");
  std::string spotter = space > 4 ? Mid(s, 4, space - 4) : std::string();
  std::size_t next = 0;
  std::size_t from = space + 1;
  // A blank doubled by hand between the words does not make a field missing.
  while (Mid(s, from, 1) == " ") ++from;
  std::string frequency = WordAt(s, from, next);
  std::string dxCall;
  if (next > 0) {
    from = next;
    while (Mid(s, from, 1) == " ") ++from;
    dxCall = WordAt(s, from, next);
  }
  if (spotter.empty() || frequency.empty() || dxCall.empty() || next == 0) {
    position = 0;
    return false;
  }
  std::string comment = Mid(s, next);
  comment = Trim(comment.substr(0, comment.size() >= 2 ? comment.size() - 2 : 0));

  std::string time = PadRight(utcHhmm, 4) + "Z";
  line = std::string(1, kConvertedMark) + "DX de " + PadAtLeast(spotter + ":", 9) + FitRight(frequency, 9) +
         "  " + PadRight(dxCall, 12) + " " + PadRight(Left(comment, 30), 31) + time + std::string(kCrLf);
  return true;
}

std::string BridgeTimeStamp(const DateTime& localNow, std::string_view utcOffsetText) {
  double minutes = localNow.hour * 60 + localNow.minute + std::round(Val(utcOffsetText) * 60);
  // Any offset, however absurd, lands on a time of day.
  minutes = std::fmod(minutes, 1440.0);
  if (minutes < 0) minutes += 1440.0;
  int m = static_cast<int>(minutes) % 1440;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d%02d", m / 60, m % 60);
  return buf;
}

std::string ConvertColumnLine(std::string_view line) {
  std::size_t colon = InStr(line, ":");
  if (colon >= 1 && colon <= 10) {
    // A spotter call with colon starts the line: the spot text is there already,
    // followed by six characters that are not part of it.
    if (line.size() < 7) return {};
    std::string text = Trim(line.substr(0, line.size() - 6));
    if (text.empty() || text.back() != 'Z') return {};
    return "DX de " + text + std::string(kCrLf);
  }

  // The spotter call ends where the right-aligned frequency begins.
  std::size_t end = 0;
  if (line.size() > 16) {
    for (std::size_t k = 16; k >= 1; --k) {
      char c = line[k - 1];
      if (!(c >= '0' && c <= '9') && c != '.') {
        end = k;
        break;
      }
    }
  }
  if (end == 0) end = 8;
  std::string spotter = Trim(Left(line, end));
  std::string frequency = end < 17 ? Mid(line, end + 1, 17 - end) : std::string();
  auto firstText = frequency.find_first_not_of(' ');
  frequency = firstText == std::string::npos ? std::string() : frequency.substr(firstText);

  std::string time = Mid(line, 61, 4);
  if (time.size() != 4 || time < "0000" || time > "9999") return {};

  return PadAtLeast("DX de " + spotter + ":", 15) + FitRight(frequency, 9) + "  " +
         PadRight(Mid(line, 19, 12), 12) + " " + PadRight(SqueezeSpaces(Mid(line, 31, 30)), 30) + " " + time +
         "Z" + std::string(kCrLf);
}

}  // namespace qn
