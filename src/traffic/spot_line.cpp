#include "traffic/spot_line.h"

#include <algorithm>

#include "core/text.h"

namespace qn {

std::string SqueezeSpaces(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    if (c == ' ' && !r.empty() && r.back() == ' ') continue;
    r.push_back(c);
  }
  return r;
}

std::string FitRight(std::string_view s, std::size_t width) {
  s = s.substr(0, width);
  return std::string(width - s.size(), ' ') + std::string(s);
}

std::string PadAtLeast(std::string_view s, std::size_t width) {
  std::string r(s);
  if (r.size() < width) r.resize(width, ' ');
  return r;
}

std::string_view WithoutLineEnd(std::string_view s) {
  if (!s.empty() && s.back() == '\n') s.remove_suffix(1);
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

SpotFields ParseSpotFields(std::string_view line) {
  SpotFields f;
  std::size_t colon = InStr(line, ":");
  if (colon == 0) return f;
  // A colon soon after the previous one belongs to the same spotter field
  // (a time or an SSID); the last of such a run ends the spotter.
  for (;;) {
    std::size_t next = InStr(line, ":", colon + 1);
    if (next == 0 || next - colon >= 5) break;
    colon = next;
  }
  f.colon = colon;

  std::string rest = Trim(Mid(line, colon + 1));
  std::size_t space = InStr(rest, " ");
  if (space == 0) return f;
  std::string frequency = Left(rest, space - 1);
  rest = Trim(Mid(rest, space + 1));
  space = InStr(rest, " ");
  if (space == 0) return f;
  std::string dxCall = Left(rest, space - 1);
  if (!frequency.empty() && !dxCall.empty()) {
    f.frequency = std::move(frequency);
    f.dxCall = std::move(dxCall);
  }
  return f;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Four digits and "Z" end the line, and the line is long enough to hold a
// comment field before them.
bool HasTimeAtEnd(std::string_view line) {
  if (line.size() < 50 || line.back() != 'Z') return false;
  return std::all_of(line.end() - 5, line.end() - 1, IsDigit);
}

std::string CommentField(std::string_view text, std::size_t width) {
  return PadRight(SqueezeSpaces(text), width);
}

}  // namespace

std::optional<SpotRecord> NormaliseSpotLine(std::string_view input, SpotSource source,
                                            LastParsedSpot* lastParsed) {
  SpotRecord rec;
  rec.source = source;
  std::string line(input);
  if (!line.empty() && line.front() == kConvertedMark) {
    rec.converted = true;
    line.erase(0, 1);
  }

  // Some nodes put a blank after the spotter call instead of the colon.
  if (InStr(Left(line, 20), ":") == 0) {
    std::size_t space = InStr(line, " ", 8);
    if (space > 0 && space < 20) line[space - 1] = ':';
  }

  SpotFields fields = ParseSpotFields(line);
  if (fields.colon < 1) return std::nullopt;
  if (lastParsed && fields.Understood()) {
    lastParsed->dxCall = fields.dxCall;
    lastParsed->frequency = fields.frequency;
  }

  // Anything past the 77th character is lost; then the last two go, which are
  // the line end unless the line was cut. A long spotter call moves the whole
  // line right, so it may take that much more before the time is cut off.
  std::size_t excess = fields.colon > 15 ? std::min(fields.colon - 15, kMaxSpotterExcess) : 0;
  if (line.size() > kSpotLineWidth + excess + 2) {
    line.resize(kSpotLineWidth + excess);
  } else {
    line = std::string(WithoutLineEnd(line));
  }
  std::string spotterPart = Left(line, fields.colon);

  std::string comment;
  std::string time;
  std::string head;
  if (HasTimeAtEnd(line)) {
    // The time ends the line and the comment fills the 31 columns before it,
    // however many blanks the node put in between.
    std::string_view tail = std::string_view(line).substr(line.size() - 36);
    std::string_view text = tail.substr(0, 31);
    auto firstText = text.find_first_not_of(' ');
    text = firstText == std::string_view::npos ? std::string_view() : text.substr(firstText);
    comment = CommentField(text, 31);
    time = std::string(tail.substr(31));
    head = line.substr(0, line.size() - 36);
  } else {
    // No time at the end: the fixed columns are read as they would stand in
    // the layout, shifted right by a spotter call longer than the field.
    line = PadAtLeast(line, kSpotLineWidth);
    excess = spotterPart.size() > 15 ? spotterPart.size() - 15 : 0;
    // A spotter field so long that the time column is past the end still
    // leaves the time its five columns.
    time = PadRight(Mid(line, 40 + excess, 5), 5);
    comment = CommentField(Trim(Mid(line, 46 + excess, 30)), 31);
    head = PadAtLeast(spotterPart, 15) + FitRight(fields.frequency, 9) + "  " + PadRight(fields.dxCall, 12) +
           " ";
  }

  rec.line = head + comment + time + std::string(kCrLf);
  rec.comment = Trim(comment);
  rec.time = std::move(time);
  rec.spotter = fields.colon > 7 ? Trim(Mid(spotterPart, 7, fields.colon - 7)) : std::string();
  rec.frequency = std::move(fields.frequency);
  rec.dxCall = std::move(fields.dxCall);
  return rec;
}

}  // namespace qn
