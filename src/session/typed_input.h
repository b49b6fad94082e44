// What the typed-input box Textsend does with its keys: Enter, the macros on
// Alt+digit, Shift+Insert and Escape. Echoes into the typed-input window and
// hands lines to the Sender; the session reset, the aux port and the web
// submission are reached through hooks their owners fill in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

class Instance;
class Sender;

class TypedInput {
 public:
  static constexpr const char* kWebBusy = "A connection is now in progress, please try later";

  TypedInput(Instance& app, Sender& sender);

  // Enter with the current line of the box (the text after its last line end).
  // The assembly hands it the instance's typed lines.
  void Enter(const std::string& line);
  // Alt+digit, digit 0 to 9 (Alt+0 is macro 10).
  void AltDigit(int digit);
  // The text Alt+digit sends: the user's macro, or in an IRC session the
  // robot requests of Alt+1 to Alt+7.
  std::string MacroText(int digit) const;
  // Shift+Insert: the clipboard joins the line being typed. Lines it completes
  // go into the box (kept under its length limit); the unfinished rest is
  // returned as the new current line.
  std::string Paste(std::string_view currentLine, std::string_view clipboard);
  // Escape: the first step that applies takes the key.
  void Escape();

  // True for a typed text (without its line end) that is a leave word of the session.
  static bool IsLeaveWord(std::string_view line, bool chatSession);

  // Hooks; empty ones are skipped.
  // The session reset; false: the automatic reconnection ends too.
  std::function<void(bool keepReconnection)> stopAutomaticConnection;
  // The text with its line end; true when it began with the aux command escape
  // string and went to the aux port instead of the node.
  std::function<bool(const std::string& text)> auxCommand;
  // TNC sessions with a web gateway: the line (without its line end) is a
  // submission for it; true when taken.
  std::function<bool(const std::string& line)> gatewaySubmission;
  // Web sessions: a submission is running.
  std::function<bool()> webSubmissionRunning;
  // Web sessions: the submission format check; the accepted line, cut and ended.
  std::function<std::optional<std::string>(const std::string& line)> checkSubmissionLine;
  // Escape, in order of precedence: each returns true when it applied (the
  // TNC dialogue, the speech queue, the connection attempt).
  std::vector<std::function<bool()>> escapeSteps;

 private:
  void ResetPrompt();

  Instance& app_;
  Sender& sender_;
};

}  // namespace qn
