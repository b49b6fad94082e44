// Chat sessions: greets the users the chat server announces ("*** " notices)
// with the greeting of the script's "/B", once per user while the user is
// among the recent arrivals. Owns that list; sends through its hook.
//
// Type 2, "*** K1ABC@host logged in" greets "K1ABC".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

class ChatGreeting {
 public:
  // The arrival list as the text "nick;nick;" stays within this length.
  static constexpr std::size_t kMaxArrivals = 42;

  // The nick that a "*** " notice of the chat type announces; empty when the
  // line announces none (or a robot).
  static std::string ArrivalNick(std::string_view line, char chatType);

  // One received line (without line end) with the script's chat type ('1' to
  // '3') and greeting; a new arrival is greeted.
  void OnNotice(std::string_view line, char chatType, const std::string& greeting);
  void Clear() { arrivals_.clear(); }
  // "nick;nick;", oldest first.
  std::string Arrivals() const;

  // Text (with its line end) for the session.
  std::function<void(const std::string& text)> send;
  std::function<std::string()> sendTerminator;
  // A greeting ending in ">>" hands the new user to the robot, when it runs.
  std::function<void(const std::string& nick)> robotHandOver;

 private:
  std::vector<std::string> arrivals_;
};

}  // namespace qn
