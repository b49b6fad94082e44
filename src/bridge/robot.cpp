#include "bridge/robot.h"

#include <algorithm>

#include "core/text.h"

namespace qn {

namespace {

constexpr char kKeyMark = '\x01';

enum class Command { None, ShowDx, ShowWwv, Dx, Announce };

// Control characters out, blanks squeezed, cut to the comment width.
std::string CleanComment(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  return Left(Trim(out), Robot::kMaxComment);
}

std::string NextWord(std::string_view& rest) {
  std::size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  std::size_t end = std::min(rest.find(' '), rest.size());
  std::string word(rest.substr(0, end));
  rest.remove_prefix(end);
  return word;
}

}  // namespace

std::string RobotSender(std::string_view field) {
  std::string f = Trim(field);
  if (!EndsWith(f, ">:")) return {};
  f.resize(f.size() - 2);
  if (!StartsWith(f, "<")) return {};
  std::string sender = f.substr(1);
  if (sender.size() >= 2 && sender.front() == '*' && sender.back() == '*')
    sender = sender.substr(1, sender.size() - 2);
  if (auto colon = sender.find(':'); colon != std::string::npos) sender.resize(colon);
  return sender;
}

void Robot::Prepare(std::string_view blockList) {
  if (prepared_) return;
  prepared_ = true;
  // A binary or oversized file blocks nobody rather than everybody.
  bool text = blockList.size() <= kMaxBlockList &&
              std::none_of(blockList.begin(), blockList.end(), [](char c) { return c == '\0'; });
  blockList_ = text ? UCase(blockList) : std::string();
  lastWwv_ = "No WWVs found!" + terminator_;
}

void Robot::OnWindowLine(std::string_view line) {
  if (!prepared_ || !StartsWith(line, "WWV de ")) return;
  std::string text = Mid(line, 8);
  text.resize(text.size() >= 2 ? text.size() - 2 : 0);
  lastWwv_ = text + terminator_;
}

std::string Robot::RobotCommand(std::string_view line) {
  if (!prepared_) return {};
  const std::string upper = UCase(line);
  Command command = Command::None;
  std::size_t at = 0;
  const std::pair<const char*, Command> kCommands[] = {{"SH/DX", Command::ShowDx},
                                                       {"SH/WWV", Command::ShowWwv},
                                                       {"!DX ", Command::Dx},
                                                       {"!ANN ", Command::Announce}};
  for (const auto& [word, c] : kCommands) {
    if (std::size_t p = InStr(upper, word); p > 0) {
      command = c;
      at = p;
    }
  }
  if (command == Command::None) return {};
  std::string sender = RobotSender(Left(line, at - 1));
  if (sender.empty() || sender.size() > kMaxSender) return {};

  if (!blockList_.empty() && blockList_.find(";" + UCase(sender) + ";") != std::string::npos) {
    Reply(sender, "Sorry: the command is disabled");
    return {};
  }
  std::string_view rest = line.substr(at - 1);
  switch (command) {
    case Command::ShowDx: {
      std::vector<std::string> ring = hooks_.spotRing ? hooks_.spotRing() : std::vector<std::string>{};
      bool any = false;
      for (const auto& entry : ring) {
        if (entry.empty()) continue;
        any = true;
        Send("/M " + sender + " " + entry);
      }
      if (!any) Send("/M " + sender + " No spots found!" + terminator_);
      return {};
    }
    case Command::ShowWwv:
      Send("/M " + sender + " " + lastWwv_);
      return {};
    case Command::Dx:
      return SubmitDx(sender, rest.substr(4));
    case Command::Announce:
      return SubmitAnnouncement(sender, rest.substr(5));
    case Command::None:
      break;
  }
  return {};
}

std::string Robot::SubmitDx(const std::string& sender, std::string_view rest) {
  std::string text = Trim(WithoutLineBreaks(rest));
  std::string_view words = text;
  std::string frequency = NextWord(words);
  std::string dxCall = NextWord(words);
  std::string comment = CleanComment(words);
  std::string whole = frequency.substr(0, frequency.find('.'));
  std::string decimal =
      frequency.find('.') == std::string::npos ? "" : frequency.substr(frequency.find('.') + 1);
  const bool digits =
      !whole.empty() && whole.size() <= 9 && whole.find_first_not_of("0123456789") == std::string::npos;
  if (!digits || dxCall.empty() || dxCall.size() > 20) {
    Reply(sender, "Invalid submission!");
    return {};
  }
  if (decimal.empty() || decimal[0] < '0' || decimal[0] > '9') decimal = "0";
  decimal = Left(decimal, 3);
  const std::string freq = whole + "." + decimal;
  const std::string key = Trim(sender + "-@ " + freq + " " + UCase(dxCall) + " " + comment);
  if (AlreadySubmitted(key)) {
    Reply(sender, "Your DX was already submitted!");
    return {};
  }
  Remember(key);
  if (hooks_.startHelper)
    hooks_.startHelper(
        "\x05"
        "dmycall=" +
        sender + "&dxcall=" + dxCall + "&freq=" + freq + "&info=" + comment + "&Submit%21=Submit%21");
  Reply(sender, "Your DX has been submitted");
  Send("DX/" + key + terminator_);
  return "DX/" + key + "\r\n";
}

std::string Robot::SubmitAnnouncement(const std::string& sender, std::string_view rest) {
  std::string announcement = CleanComment(Trim(WithoutLineBreaks(rest)));
  if (announcement.empty()) {
    Reply(sender, "Invalid submission!");
    return {};
  }
  if (AlreadySubmitted(announcement)) {
    Reply(sender, "Your ANN was already submitted!");
    return {};
  }
  Remember(announcement);
  if (hooks_.startHelper)
    hooks_.startHelper(
        "\x05"
        "amycall=" +
        sender + "&dxcall=&freq=&info=" + announcement + "&Submit%21=Submit%21");
  Reply(sender, "Your ANN has been submitted");
  Send("To ALL de " + sender + "-@ : " + announcement + terminator_);
  return "To ALL de " + sender + "-@ : " + announcement + "\a\r\n";
}

bool Robot::AlreadySubmitted(const std::string& key) const {
  return submitted_.find(kKeyMark + UCase(key) + kKeyMark) != std::string::npos;
}

void Robot::Remember(const std::string& key) {
  submitted_ += UCase(key) + kKeyMark;
  // The oldest keys go first; the newest always stays.
  while (submitted_.size() > kSubmittedLimit) {
    std::size_t second = submitted_.find(kKeyMark, 1);
    if (second == std::string::npos || second + 1 >= submitted_.size()) break;
    submitted_.erase(0, second);
  }
}

void Robot::Reply(const std::string& sender, const std::string& text) {
  Send("/M " + sender + " " + text + terminator_);
}

void Robot::Send(const std::string& text) {
  if (hooks_.send) hooks_.send(text);
}

}  // namespace qn
