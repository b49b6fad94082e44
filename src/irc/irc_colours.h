// Colour and format codes of IRC clients taken out of received text before the
// receive path assembles lines, and the cut of over-long IRC lines. Keeps the
// state of a colour sequence across chunks; the session owns one per connection.
//
// "\x03" "4,15DX de K1ABC" arrives as "DX de K1ABC"; "\x02bold\x02" as "bold".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qn {

class IrcColourStripper {
 public:
  // What a server may send before CR LF; the rest of a longer line is dropped.
  static constexpr std::size_t kMaxLineBytes = 510;
  // Returned by StripIrcColours for a character that is dropped.
  static constexpr int kDropped = -1;

  // One received character: the character to keep (160 becomes a blank), or
  // kDropped.
  int StripIrcColours(unsigned char c);
  // Strips a whole chunk in place and cuts lines past kMaxLineBytes.
  void Strip(std::string& chunk);
  // A new connection starts with no open sequence and at a line start.
  void Reset() { *this = IrcColourStripper{}; }

 private:
  void Close() { open_ = false; }

  bool open_ = false;
  bool background_ = false;
  bool numberDone_ = false;
  int digits_ = 0;
  int value_ = 0;
  std::size_t lineBytes_ = 0;
};

// ":1,15" and ":12,15" left behind after a ":" (a client that coloured its
// text after a colon) lose their colour values; the ":" stays.
std::string RemoveColourRemnants(std::string line);

}  // namespace qn
