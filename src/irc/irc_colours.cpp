#include "irc/irc_colours.h"

#include "core/text.h"

namespace qn {

namespace {

constexpr unsigned char kColour = 3;

// Bold, italics, underline, reverse, reset and the other format codes.
bool IsFormatCode(unsigned char c) {
  return c == 2 || c == 4 || c == 5 || c == 6 || c == 11 || c == 12 || (c >= 14 && c <= 31);
}

}  // namespace

int IrcColourStripper::StripIrcColours(unsigned char c) {
  if (c == kColour) {
    open_ = true;
    background_ = false;
    numberDone_ = false;
    digits_ = 0;
    value_ = 0;
    return kDropped;
  }
  // IRC has no NUL in its text; a NUL would end the text early in places.
  if (c == 0 || IsFormatCode(c)) {
    Close();
    return kDropped;
  }
  if (open_) {
    if (c >= '0' && c <= '9' && !numberDone_) {
      ++digits_;
      value_ = value_ * 10 + (c - '0');
      if (digits_ >= 2 || value_ >= 15) numberDone_ = true;
      return kDropped;
    }
    if (c == ',' && !background_) {
      background_ = true;
      numberDone_ = false;
      digits_ = 0;
      value_ = 0;
      return kDropped;
    }
    Close();
  }
  return c == 160 ? ' ' : c;
}

void IrcColourStripper::Strip(std::string& chunk) {
  std::size_t out = 0;
  for (char ch : chunk) {
    int kept = StripIrcColours(static_cast<unsigned char>(ch));
    if (kept == kDropped) continue;
    if (kept == '\r' || kept == '\n') {
      lineBytes_ = 0;
    } else if (lineBytes_ >= kMaxLineBytes) {
      continue;  // past the longest line a server may send: cut, not kept
    } else {
      ++lineBytes_;
    }
    chunk[out++] = static_cast<char>(kept);
  }
  chunk.resize(out);
}

std::string RemoveColourRemnants(std::string line) {
  line = ReplaceAll(std::move(line), ":12,15", ":");
  return ReplaceAll(std::move(line), ":1,15", ":");
}

}  // namespace qn
