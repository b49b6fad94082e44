// The telnet commands a node sends inside its text: option negotiation and
// subnegotiation. Owns the state of a command cut by a chunk boundary and which
// options are on; the receiver feeds it the bytes after each IAC and sends the
// replies it writes.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace qn {

namespace telnet {
inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;
inline constexpr unsigned char kBinary = 0;
inline constexpr unsigned char kTerminalType = 24;
// IAC SB 24 0 "DEC-VT100" IAC SE: the terminal type we claim.
inline constexpr std::string_view kTerminalTypeReply{
    "\xff\xfa\x18\x00"
    "DEC-VT100"
    "\xff\xf0",
    15};
}  // namespace telnet

// Data for a telnet link: every byte 255 doubled, so the peer does not read
// it as the start of a command.
std::string TelnetEscape(std::string_view data);

class TelnetCodec {
 public:
  // A subnegotiation body longer than this is taken as a node that never sends
  // IAC SE: the bytes after it are text again, so the terminal cannot go dark.
  static constexpr std::size_t kMaxSubnegotiation = 512;
  static constexpr int kNoData = -1;

  // True while an IAC has begun a command that is not complete yet; every
  // following byte goes to Feed until it is.
  bool InCommand() const { return state_ != State::Data; }

  // Takes IAC (in data) or the next byte of a running command. Writes any reply
  // to reply (appended) and returns the data byte the command stands for
  // (255 for IAC IAC), or kNoData.
  int Feed(unsigned char b, std::string& reply);

  void Reset() {
    state_ = State::Data;
    command_ = 0;
    bodyLength_ = 0;
    we_.fill(false);
    they_.fill(false);
  }

 private:
  enum class State { Data, Iac, Option, SubOption, SubBody, SubIac };
  int AfterIac(unsigned char b);
  void Negotiate(unsigned char option, std::string& reply);

  State state_ = State::Data;
  unsigned char command_ = 0;
  std::size_t bodyLength_ = 0;
  // Which options are on, for our side and for the node's.
  std::array<bool, 256> we_{};
  std::array<bool, 256> they_{};
};

}  // namespace qn
