#include "session/command_translation.h"

#include <initializer_list>
#include <vector>

#include "core/text.h"

namespace qn {

namespace {

bool OneOf(std::string_view word, std::initializer_list<std::string_view> list) {
  for (std::string_view w : list) {
    if (word == w) return true;
  }
  return false;
}

std::vector<std::string> SplitSlashes(std::string_view word) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t slash = word.find('/', start);
    parts.emplace_back(
        word.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return parts;
}

// The first blank-separated word and what follows it (with its leading blank).
std::pair<std::string, std::string> FirstWord(std::string_view line) {
  std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return {std::string(line), {}};
  return {std::string(line.substr(0, blank)), std::string(line.substr(blank))};
}

std::string LeftTrim(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return std::string(s.substr(i));
}

std::string RightTrim(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
}

std::string Privmsg(std::string_view target, std::string_view text) {
  return "PRIVMSG " + std::string(target) + " :" + std::string(text);
}

// "call text" after a talk command: the call and the text without its first blank.
std::string TalkTo(std::string_view callAndText) {
  auto [call, text] = FirstWord(LeftTrim(callAndText));
  if (!text.empty()) text.erase(0, 1);
  return Privmsg(call, text);
}

// "/CTCP nick request args": the request word goes in capitals, as IRC clients send it.
std::string Ctcp(std::string_view args) {
  auto [target, request] = FirstWord(LeftTrim(args));
  request = RightTrim(LeftTrim(request));
  auto [command, rest] = FirstWord(request);
  return Privmsg(target, "\x01" + UCase(command) + rest + "\x01");
}

std::string SpotToRobot(std::string_view args, const std::string& robot) {
  auto [freq, afterFreq] = FirstWord(LeftTrim(args));
  auto [call, comment] = FirstWord(LeftTrim(afterFreq));
  comment = Trim(comment);
  if (UCase(Trim(robot)) == "DXS") {
    return Privmsg(robot, "&dxcall=" + call + "&freq=" + freq + "&info=" + comment);
  }
  std::string text = "dx " + freq;
  if (!call.empty()) text += " " + call;
  if (!comment.empty()) text += " " + comment;
  return Privmsg(robot, text);
}

std::string IrcCommand(std::string_view line) {
  auto [word, rest] = FirstWord(line);
  std::string up = UCase(word);
  if (up == "/CTCP") return Ctcp(rest);
  // Talk replies of the program use "/M", as chat servers do.
  if (up == "/MSG" || up == "/M") return TalkTo(rest);
  if (up == "/Q") return "QUIT" + rest;
  return std::string(line.substr(1));
}

std::optional<std::string> TranslateIrc(std::string_view line, const SessionFlags& flags,
                                        const RobotSpotCheck& check) {
  if (Trim(line).empty()) return std::string(line);
  if (line[0] == '@') return IrcCommand("/CTCP " + std::string(line.substr(1)));
  if (line[0] == '/') return IrcCommand(line);

  std::string canonical = CanonicalCommand(line);
  // Named copies: lambdas below may not capture structured bindings in C++20.
  const auto split = FirstWord(canonical);
  const std::string word(split.first);
  const std::string rest(split.second);
  std::vector<std::string> parts = SplitSlashes(word);
  std::string up0 = UCase(parts[0]);
  std::string up1 = parts.size() > 1 ? UCase(parts[1]) : std::string();
  // What follows the second part of the command word ("/20", " 5").
  auto afterSecond = [&] {
    std::string tail;
    for (std::size_t i = 2; i < parts.size(); ++i) tail += "/" + parts[i];
    return tail + rest;
  };

  if (up0 == "SH" && parts.size() > 1) {
    if (StartsWith(up1, "DX")) return Privmsg(flags.robotNick, "sh/dx" + canonical.substr(5));
    if (StartsWith(up1, "AN")) return Privmsg(flags.robotNick, "sh/ann" + afterSecond());
    if (StartsWith(up1, "WW")) return Privmsg(flags.robotNick, "sh/wwv" + afterSecond());
    if (up1 == "U") return "NAMES " + flags.ircChannel;
  }
  std::string upLine = UCase(line);
  if (StartsWith(upLine, "T ")) return TalkTo(line.substr(2));
  if (StartsWith(upLine, "DX ")) {
    if (check && !check(std::string(line))) return std::nullopt;
    return SpotToRobot(line.substr(3), flags.robotNick);
  }
  if (up0 == "ANN" && parts.size() > 1) {
    if (up1 == "F") return Privmsg(flags.robotNick, "ann" + afterSecond());
    // A local announcement stays on the channel.
    if (up1 == "L") return Privmsg(flags.ircChannel, LeftTrim(afterSecond()));
  }
  return Privmsg(flags.ircChannel, line);
}

}  // namespace

std::string CanonicalCommand(std::string_view line) {
  auto [word, rest] = FirstWord(line);
  std::vector<std::string> parts = SplitSlashes(word);
  std::string up0 = UCase(parts[0]);
  if (OneOf(up0, {"S", "SH", "SHO", "SHOW"})) {
    parts[0] = "SH";
    if (parts.size() > 1 && OneOf(UCase(parts[1]), {"U", "US", "USE", "USER", "USERS"})) parts[1] = "U";
  } else if (OneOf(up0, {"A", "AN", "ANN"})) {
    parts[0] = "ANN";
    if (parts.size() > 1) {
      std::string up1 = UCase(parts[1]);
      if (OneOf(up1, {"F", "FU", "FUL", "FULL"}))
        parts[1] = "F";
      else if (OneOf(up1, {"L", "LO", "LOC", "LOCA", "LOCAL"}))
        parts[1] = "L";
    }
  } else {
    return std::string(line);
  }
  std::string out = parts[0];
  for (std::size_t i = 1; i < parts.size(); ++i) out += "/" + parts[i];
  return out + rest;
}

std::optional<std::string> TranslateCommand(std::string_view line, const SessionFlags& flags,
                                            const RobotSpotCheck& check) {
  if (flags.irc) return TranslateIrc(line, flags, check);
  if (flags.chat) {
    std::string up = UCase(Left(line, 2));
    if (up == "T " || up == "T/") return "/M " + std::string(line.substr(2));
  }
  return std::string(line);
}

std::string TranslateLines(std::string_view text, const SessionFlags& flags, const RobotSpotCheck& check) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    std::string_view body =
        text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    std::size_t next = text.size();
    std::string_view lineEnd;
    if (end != std::string_view::npos) {
      next = end + 1;
      if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
      lineEnd = text.substr(end, next - end);
    }
    if (auto t = TranslateCommand(body, flags, check)) {
      out += *t;
      out += lineEnd;
    }
    pos = next;
  }
  return out;
}

}  // namespace qn
