#include "irc/chat_greeting.h"

#include <algorithm>

#include "core/text.h"

namespace qn {

std::string ChatGreeting::ArrivalNick(std::string_view line, char chatType) {
  if (!StartsWith(line, "*** ")) return {};
  const std::string text = Trim(line.substr(4));
  std::string nick;
  switch (chatType) {
    case '1': {
      std::size_t paren = text.find(')');
      std::size_t at = paren == std::string::npos ? paren : text.find('@', paren + 1);
      if (at == std::string::npos || text.find("joined channel 107", at + 1) == std::string::npos) return {};
      nick = Trim(text.substr(paren + 1, at - paren - 1));
      break;
    }
    case '2': {
      std::size_t at = text.find('@');
      if (at == std::string::npos || text.find("logged in", at + 1) == std::string::npos) return {};
      nick = Trim(text.substr(0, at));
      break;
    }
    case '3': {
      std::size_t blank = text.find(' ');
      if (blank == std::string::npos || !StartsWith(Trim(text.substr(blank + 1)) + " ", "signed on "))
        return {};
      nick = text.substr(0, blank);
      break;
    }
    default:
      return {};
  }
  const std::string up = UCase(nick);
  if (up == "DXR" || up == "DXROBOT" || up == "DX-ROBOT") return {};
  // A nick is one word; the list keeps ";" as its separator.
  if (nick.find_first_of(" ;\r\n") != std::string::npos) return {};
  return nick;
}

std::string ChatGreeting::Arrivals() const {
  std::string list;
  for (const std::string& nick : arrivals_) list += nick + ";";
  return list;
}

void ChatGreeting::OnNotice(std::string_view line, char chatType, const std::string& greeting) {
  if (greeting.empty()) return;
  const std::string nick = ArrivalNick(line, chatType);
  if (nick.empty()) return;
  auto known = std::find(arrivals_.begin(), arrivals_.end(), nick);
  if (known != arrivals_.end()) {
    arrivals_.erase(known);
    arrivals_.push_back(nick);
    return;
  }
  arrivals_.push_back(nick);
  while (Arrivals().size() > kMaxArrivals && arrivals_.size() > 1) arrivals_.erase(arrivals_.begin());

  const std::string end = sendTerminator ? sendTerminator() : "\n";
  std::size_t start = 0;
  while (send) {
    std::size_t slash = greeting.find('/', start);
    send("/M " + nick + " " + greeting.substr(start, slash == std::string::npos ? slash : slash - start) +
         end);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  if (EndsWith(greeting, ">>") && robotHandOver) robotHandOver(nick);
}

}  // namespace qn
