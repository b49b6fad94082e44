// The connection script of the current site: owns the loaded lines, the wait
// text, the success patterns' matched flags, the trigger and answer, and the
// switches a script sets ("/B", "/C"). Driven by the telnet session's hooks
// (load at connect, run, login prompt) and by the receive path's transcript;
// sends through the send path's hooks.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qn {

class Instance;
class ConnectionControl;

class ScriptEngine {
 public:
  static constexpr const char* kUnusableWarning =
      "Warning: automatic connection/reconnection can't be performed; script file must be edited first";
  // The wait text that stands for "any login prompt".
  static const std::string kLoginPromptMarker;

  ScriptEngine(Instance& app, ConnectionControl& session);

  // Fills the script state for the current site; true when the script is
  // unusable (no file, or its placeholders still there).
  bool LoadScript();
  // Runs lines until a "/W" or the end of the script.
  void RunScript();
  // First login prompt of a connection: the script from its first line,
  // unless it already runs on this connection.
  void RestartScript();
  // A login prompt arrived: a script waiting for one goes on.
  void ReleaseLoginWait();
  // After each arrival: resumes a wait, tracks the success patterns, fires the
  // trigger, and shortens the transcript to what a later match may still need.
  void ScriptMatcher(std::string& transcript);
  // The session reset: wait, waiting submission, "/B" and exchange.
  void SessionReset();
  // A script without "/F" must not keep the title an earlier script set.
  void ResetPending();
  bool HasTitleCommand() const;
  // Usable and with lines to run.
  bool Runnable() const { return !unusable_ && !lines_.empty(); }
  void SetCallPrompt() { callPrompt_ = true; }

  bool Unusable() const { return unusable_; }
  std::size_t RemainingLines() const { return lines_.size() - cursor_; }
  const std::string& WaitText() const { return wait_; }
  bool WaitingForLoginPrompt() const { return wait_ == kLoginPromptMarker; }
  const std::string& TriggerText() const { return trigger_; }
  const std::string& AnswerText() const { return answer_; }
  bool PatternMatched(std::size_t i) const { return matched_.at(i); }
  // "/B": chat type ('1' to '3', 0 when none) and greeting, for the chat session.
  char ChatType() const { return chatType_; }
  const std::string& Greeting() const { return greeting_; }
  bool ExchangeOn() const { return exchangeOn_; }
  bool CallPromptSeen() const { return callPrompt_; }
  // The key after the channel of a script's "JOIN " line.
  const std::string& IrcChannelKey() const { return ircKey_; }

  // The send path. sendTyped: a typed line (the session's terminator is added
  // by the path); sendRaw: the raw-send path with its character escapes.
  // Unset, they fall back to the instance's SendLine without escapes.
  std::function<void(const std::string& text)> sendTyped;
  std::function<void(const std::string& text)> sendRaw;
  // Starts a helper from the data folder, minimised, never through a shell.
  std::function<void(const std::string& program, const std::vector<std::string>& args)> startProgram;
  // IRC registration (NICK and USER lines).
  std::function<void()> registerIrc;
  // A "DXROBOT" title was set: the robot prepares its state.
  std::function<void()> robotTitleSet;
  std::function<void(bool on)> exchangeChanged;
  // "CRYPTO ON" only takes when a valid crypto table is loaded.
  std::function<bool()> cryptoTableLoaded;
  std::function<void(bool on)> cryptoChanged;
  // A spot submission waiting for the login.
  std::function<void()> startWaitingSubmission;
  std::function<void()> clearWaitingSubmission;
  // TNC instances: the TNC's own-call handling of a "/S" text.
  std::function<void(std::string& text)> tncOwnCall;
  // TNC instances: a script that names a web gateway is that gateway's
  // dialogue, not lines to send. webGatewayLoaded sees every line at each
  // load and says whether they set a gateway up; startWebGateway starts its
  // page retrieval (false: it could not start) and the script ends with
  // WebGatewayDone.
  std::function<bool(const std::vector<std::string>& lines)> webGatewayLoaded;
  std::function<bool()> startWebGateway;
  void WebGatewayDone();

 private:
  void RunLine(const std::string& line);
  void RunGatewayScript();
  void Send(std::string text);
  void SendTyped(const std::string& text);
  void SendRaw(const std::string& text);
  void ApplyRetryLimit(int limit);
  void SetRetryInterval(int minutes);
  void FireTrigger();
  void FireTriggerAtOnce();
  void SetTitle(const std::string& title);
  void Switch(const std::string& keyword);
  void EndOfScript();
  bool Tnc() const;
  void Status(const std::string& text);
  void Matching(std::string& transcript);

  Instance& app_;
  ConnectionControl& session_;
  std::vector<std::string> lines_;
  std::size_t cursor_ = 0;
  bool unusable_ = true;
  std::string wait_;
  // The next wait is only satisfied by text after the previous wait's match.
  std::size_t waitFrom_ = 0;
  std::array<bool, 10> matched_{};
  std::string trigger_;
  std::string answer_;
  char chatType_ = 0;
  std::string greeting_;
  bool exchangeOn_ = true;
  bool callPrompt_ = false;
  std::string ircKey_;
  bool running_ = false;
  bool ranThisConnection_ = false;
  bool gateway_ = false;
  bool gatewayRunning_ = false;
  bool matching_ = false;
  bool matchAgain_ = false;
};

}  // namespace qn
