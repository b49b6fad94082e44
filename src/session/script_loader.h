// Reads a connection script file into the lines the engine runs and the header
// directives that take effect at load. Pure text in, values out: the engine
// applies them to the session.
//
// Format: text lines, each trimmed; empty lines and lines opening with "'" are
// comments. A command is "/" or "\" and a letter, the rest of the line its
// argument, e.g. "/W login:" or "\s $$$$".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

struct LoadedScript {
  // The lines left for the engine, in file order.
  std::vector<std::string> lines;
  // Every command and text line as read, the header directives included: a
  // TNC script's web-gateway lines are read from these.
  std::vector<std::string> all;
  // No file, or the placeholders "Yourcall" / "Yourpassword" are still there.
  bool unusable = false;
  // A line holds the quoted word "IDENTD": the ident program is wanted.
  bool wantsIdent = false;
  // Header directives taken out of the script (absent when the script has none).
  std::optional<int> retryLimit;            // "/R", absolute value; 0 means no limit
  std::optional<std::string> fallbackSite;  // "/N"
  std::optional<std::string> trigger;       // "/I"
  std::optional<std::string> answer;        // "/O"
  std::optional<int> retryInterval;         // "/T" as the first line; 0 gives 2
};

// True when the line is the command with that letter ("/x" or "\x", either case).
bool IsScriptCommand(std::string_view line, char letter);
// The argument of a command line (from its third character), trimmed.
std::string ScriptArgument(std::string_view line);

// `text` is the file's content; nothing when the file does not exist.
LoadedScript ParseScript(const std::optional<std::string>& text, bool tnc);

}  // namespace qn
