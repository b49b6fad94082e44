// How text handed over by another program is turned into what this session
// sends: a command poked after the escape into a web submission line, and
// the lines of a logger's "outgoing.txt" for chat, IRC and web sessions.
//   web, call G4TST:  "DX K1ABC 14025.0 up 2\r\n" -> "G4TST 14025.0 K1ABC up 2\r\n"
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn {

// What the session that sends the text is.
enum class LinkSessionMode { Plain, Chat, Irc, Web };

// A command for the cluster as a web session submits it: a leading "DX "
// goes, "ANN " or "ANN/F " becomes ">", and the web callsign leads.
std::string WebSubmissionFromCommand(std::string_view command, std::string_view webCall);

// A text read from "outgoing.txt", as this session sends it; empty when the
// session cannot send it (a web session takes only spots and announcements).
std::optional<std::string> ConvertOutgoingText(std::string_view text, LinkSessionMode mode,
                                               std::string_view webCall);

// Text poked into Textin1 without the line ends it closes with.
std::string WithoutTrailingLineEnds(std::string_view text);

}  // namespace qn
