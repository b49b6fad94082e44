// Turns typed cluster commands into what an IRC or chat server expects: one line
// in, one line out. Pure; the session supplies its flags, the robot's nickname
// and the channel, and the spot-submission check when there is one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qn {

// The sub-mode of the session as the send path needs it.
struct SessionFlags {
  bool irc = false;
  bool chat = false;
  std::string robotNick;   // the channel's spot robot
  std::string ircChannel;  // "#CQDX" unless the script joined another
};

// Accepts or refuses a "DX freq call comment" line before it goes to the robot.
using RobotSpotCheck = std::function<bool(const std::string& line)>;

// One line without its line end. Returns the text to send in its place, or
// nullopt when the line is to be dropped (a refused spot). Lines of sessions
// that are neither IRC nor chat come back unchanged.
std::optional<std::string> TranslateCommand(std::string_view line, const SessionFlags& flags,
                                            const RobotSpotCheck& check = {});

// Every line of text translated, each keeping its own line end (CR, LF or
// CR LF); a last piece without a line end is translated as a line too.
std::string TranslateLines(std::string_view text, const SessionFlags& flags,
                           const RobotSpotCheck& check = {});

// The command word with the abbreviations written out the one way the mapping
// tests for: "show/users" gives "SH/U", "a/full" gives "ANN/F". The rest of the
// line follows unchanged.
std::string CanonicalCommand(std::string_view line);

}  // namespace qn
