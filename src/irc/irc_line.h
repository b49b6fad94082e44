// One line from an IRC server turned into what the terminal shows and, for
// robot spots, bulletins and private messages, into the cluster line the
// classifier reads. Pure: the session applies the answers and the state.
//
// ":DXS!dxs@host PRIVMSG #CQDX :K1ABC 14025.0 DL1XYZ cq 1234Z" gives the spot
// line "DX de K1ABC:     14025.0  DL1XYZ  cq ... 1234Z", as traffic.
#pragma once

#include <string>
#include <string_view>

namespace qn {

struct IrcLineContext {
  std::string ownCall;    // base of the nickname; private messages name it
  std::string robotNick;  // the channel's spot robot, empty when none is set
  bool taprMode = false;  // a TNC in TAPR mode puts "|" pairs in front
};

// The parts of a line that begins with ":".
struct IrcMessage {
  std::string prefix;  // without its ":"
  std::string nick;    // empty for a server
  std::string command;
  std::string target;
  std::string text;
};

struct IrcLineResult {
  // The text to show (no line end); empty with show false for a line that is
  // answered and not shown.
  std::string display;
  bool show = true;
  // The display text is cluster traffic: spots, bulletins, announcements, talks.
  bool isTraffic = false;
  // A "PRIVMSG" addressed to the own nickname (CTCP requests excluded).
  bool privateToMe = false;
  // A CTCP request that asks for an answer: the IRC line to send (no line end).
  std::string ctcpAnswer;
  IrcMessage message;
};

// Splits a server line; false when it does not begin with ":".
bool ParseIrcLine(std::string_view line, IrcMessage& out);

// A line without its line end, already stripped of colour codes.
IrcLineResult HandleIrcLine(std::string_view line, const IrcLineContext& context);

// The spot robots of the channels: known nicknames, or the configured one.
bool IsSpotRobot(std::string_view nick, std::string_view robotNick);

// A robot's text rebuilt as cluster traffic: a spot line, "WWV de ..." or
// "To ALL de ..."; empty when it cannot be rebuilt.
std::string RobotTextToCluster(std::string_view text);

}  // namespace qn
