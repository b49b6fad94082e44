#include "irc/irc_line.h"

#include <initializer_list>

#include "core/text.h"
#include "irc/irc_colours.h"
#include "traffic/line_conversions.h"

namespace qn {

namespace {

constexpr char kCtcp = '\x01';
constexpr const char* kVersionReply = "\x01VERSION Quillnet v5.5 by ZX9QQQ\x01";

std::string LeftTrimmed(std::string_view s) {
  std::size_t i = s.find_first_not_of(' ');
  return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::string RightTrimmed(std::string_view s) {
  std::size_t n = s.find_last_not_of(' ');
  return n == std::string_view::npos ? std::string() : std::string(s.substr(0, n + 1));
}

bool OneOf(std::string_view word, std::initializer_list<std::string_view> list) {
  for (std::string_view w : list) {
    if (word == w) return true;
  }
  return false;
}

bool AllDigits(std::string_view s, bool dotAllowed) {
  if (s.empty()) return false;
  for (char c : s) {
    if (!(c >= '0' && c <= '9') && !(dotAllowed && c == '.')) return false;
  }
  return true;
}

// The next blank-separated word from pos on; pos moves past it.
std::string NextWord(std::string_view s, std::size_t& pos) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
  std::size_t start = pos;
  while (pos < s.size() && s[pos] != ' ') ++pos;
  return std::string(s.substr(start, pos - start));
}

// A robot's listing text "K1ABC 14025.0 DL1XYZ comment 1234Z" laid out in the
// columns the listing conversion reads: spotter and right-aligned frequency
// to 17, DX call 19-30, comment 31-60, time 61-64.
std::string RobotListingToSpot(std::string_view text) {
  std::size_t pos = 0;
  std::string spotter = NextWord(text, pos);
  std::string frequency = NextWord(text, pos);
  std::string call = NextWord(text, pos);
  if (call.empty()) return {};
  while (!spotter.empty() && spotter.back() == ':') spotter.pop_back();
  std::string rest = Trim(text.substr(pos));
  std::string time;
  if (rest.size() >= 5 && rest.back() == 'Z' &&
      AllDigits(std::string_view(rest).substr(rest.size() - 5, 4), false)) {
    time = rest.substr(rest.size() - 5, 4);
    rest.resize(rest.size() - 5);
  } else if (rest.size() >= 4) {
    time = rest.substr(rest.size() - 4);
    rest.resize(rest.size() - 4);
  }
  // Without a time, a frequency or a spotter it is no spot, whatever the columns say.
  if (!AllDigits(time, false) || !AllDigits(frequency, true) || frequency.size() > 15) return {};
  if (spotter.find(':') != std::string::npos) return {};
  spotter = Left(spotter, 16 - frequency.size());
  if (spotter.empty()) return {};
  std::string columns = PadRight(spotter, 17 - frequency.size()) + frequency + " " +
                        PadRight(Left(call, 12), 12) + PadRight(Left(Trim(rest), 30), 30) + time;
  std::string spot = ConvertColumnLine(columns);
  while (!spot.empty() && (spot.back() == '\n' || spot.back() == '\r')) spot.pop_back();
  return spot;
}

std::string EventLabel(const std::string& command, const std::string& text) {
  if (text.size() > 2) return command + ":";
  if (command == "JOIN") return "Joining";
  if (command == "QUIT") return "Quitting";
  return command;
}

// Services and robots whose messages keep their "<nick> " even when sent to us.
bool KeepsPrefix(const std::string& upperNick, const std::string& upperRobot) {
  return OneOf(upperNick, {"DXL", "DXS", "DDX", "SC", "UWORLD"}) ||
         (!upperRobot.empty() && upperNick == upperRobot);
}

void HandleMessage(const IrcLineContext& context, bool notice, const std::string& prefixText,
                   IrcLineResult& r) {
  const IrcMessage& m = r.message;
  std::string text = m.text;
  if (!text.empty() && text[0] == kCtcp) {
    const std::string up = UCase(text);
    // Automatic answers never go to a NOTICE: two programs would answer each
    // other for ever.
    if (StartsWith(up, "\x01VERSION\x01")) {
      r.show = false;
      if (!notice && !m.nick.empty()) r.ctcpAnswer = "NOTICE " + m.nick + " :" + kVersionReply;
      return;
    }
    std::size_t second = text.find(kCtcp, 1);
    if (!notice && StartsWith(up, "\x01PING") && second != std::string::npos) {
      r.show = false;
      if (!m.nick.empty()) r.ctcpAnswer = "NOTICE " + m.nick + " :" + text.substr(0, second + 1);
      return;
    }
  }
  if (!text.empty() && text[0] == '\x03') text.erase(0, 1);

  const std::string own = UCase(Trim(context.ownCall));
  const bool toMe = !own.empty() && UCase(Trim(m.target)).find(own) != std::string::npos;
  const bool ctcp = !text.empty() && text[0] == kCtcp;
  r.privateToMe = toMe && !notice && !ctcp && !m.nick.empty();

  if (IsSpotRobot(m.nick, context.robotNick)) {
    r.isTraffic = true;
    text = LeftTrimmed(text);
    std::string cluster = RobotTextToCluster(text);
    r.display = cluster.empty() ? prefixText + text : cluster;
    return;
  }
  const std::string upNick = UCase(Trim(m.nick));
  if (toMe && !m.nick.empty() && !KeepsPrefix(upNick, UCase(Trim(context.robotNick)))) {
    // The cluster's talk form, so the talk window files it.
    r.isTraffic = true;
    r.display = Trim(context.ownCall) + " de " + m.nick + ": " + text;
    return;
  }
  r.isTraffic = toMe;
  r.display = prefixText + text;
}

}  // namespace

bool ParseIrcLine(std::string_view line, IrcMessage& out) {
  out = IrcMessage{};
  if (line.empty() || line[0] != ':') return false;
  std::size_t pos = 1;
  std::size_t end = line.find(' ', pos);
  out.prefix =
      std::string(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
  if (std::size_t bang = out.prefix.find('!'); bang != std::string::npos && bang >= 1) {
    out.nick = out.prefix.substr(0, bang);
  }
  if (end == std::string_view::npos) return true;
  pos = end + 1;
  end = line.find(' ', pos);
  out.command =
      std::string(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
  if (end == std::string_view::npos) return true;
  const std::size_t afterSecondBlank = end + 1;
  pos = afterSecondBlank;
  end = line.find(' ', pos);
  out.target =
      RightTrimmed(line.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
  if (std::size_t colon = line.find(':', afterSecondBlank); colon != std::string_view::npos) {
    out.text = std::string(line.substr(colon + 1));
  } else if (end != std::string_view::npos) {
    out.text = LeftTrimmed(line.substr(end + 1));
    if (!out.text.empty() && out.text[0] == ':') out.text.erase(0, 1);
  }
  return true;
}

bool IsSpotRobot(std::string_view nick, std::string_view robotNick) {
  const std::string n = UCase(Trim(nick));
  if (n.empty()) return false;
  const std::string robot = UCase(Trim(robotNick));
  return n.find("KQ0Z") != std::string::npos || (!robot.empty() && n.find(robot) != std::string::npos) ||
         n.find("IDX") != std::string::npos || OneOf(n, {"DDX", "DXS", "DXL"});
}

std::string RobotTextToCluster(std::string_view input) {
  std::string text = LeftTrimmed(input);
  const std::size_t n = text.size();
  if (n >= 66 && text[n - 1] == 'Z' && AllDigits(std::string_view(text).substr(n - 5, 4), false)) return text;
  text = ReplaceAll(std::move(text), "Z):", "Z) :");
  if (Left(text, 19).find("SFI=") != std::string::npos) {
    return StartsWith(UCase(text), "WWV DE ") ? text : "WWV de " + text;
  }
  if (Left(text, 24).find("Z) :") != std::string::npos) return "To ALL de " + text;
  if (text.size() < 3) return {};
  return RobotListingToSpot(text);
}

IrcLineResult HandleIrcLine(std::string_view input, const IrcLineContext& context) {
  IrcLineResult r;
  std::string line(input);
  if (context.taprMode) {
    while (!line.empty() && line[0] == '|') line.erase(0, line.size() >= 2 ? 2 : 1);
  }
  line = RemoveColourRemnants(std::move(line));
  if (!ParseIrcLine(line, r.message)) {
    r.display = line;
    return r;
  }
  const IrcMessage& m = r.message;
  const std::string command = UCase(m.command);
  const bool notice = command == "NOTICE";
  std::string prefixText;
  if (!m.nick.empty()) prefixText = notice ? ">>" + m.nick + "<< " : "<" + m.nick + "> ";

  if (OneOf(command, {"MODE", "JOIN", "PART", "QUIT", "SQUIT", "NICK", "KICK", "TOPIC"})) {
    std::string label = EventLabel(command, m.text);
    r.display = prefixText + label + (m.text.empty() ? "" : " " + m.text);
    return r;
  }
  if (command == "PRIVMSG" || notice) {
    HandleMessage(context, notice, prefixText, r);
    return r;
  }
  r.display = prefixText + m.text;
  return r;
}

}  // namespace qn
