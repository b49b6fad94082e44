// A web cluster reached over packet radio: a TNC session's script may name a
// gateway station that fetches a page or posts a spot for us. The dialogue
// runs over the aux serial port through two callbacks (a line out, the text
// that came in), waits on the event loop with its own time-out, and hands a
// fetched page back for ParseWebPage. Script lines, in order of appearance:
//   /S C GW7WEB        connect command      /S GET DXS       page command
//   /W CONNECTED       awaited after it     /W 73            awaited after the page
//   /T 3               time-out, minutes    /L 4000          page size limit
//   /K 3               character that stops a transfer past the limit
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "web/web_exchange.h"

namespace qn {

inline constexpr const char* kGatewayBusy = "Can't submit or retrieve now, please retry in a while";
inline constexpr int kGatewayDefaultTimeoutSeconds = 120;

struct TncGatewayConfig {
  std::string connectCommand;
  std::string pageCommand;
  std::string awaitConnect;
  std::string awaitPage;
  int timeoutSeconds = kGatewayDefaultTimeoutSeconds;
  std::size_t sizeLimit = 0;  // 0: no limit
  int stopCode = -1;          // -1: none
  bool jac = false;
  bool On() const { return !connectCommand.empty(); }
};

// The gateway lines of a script; off (all empty) unless both commands and
// both awaited texts are there.
TncGatewayConfig ParseTncGatewayLines(const std::vector<std::string>& scriptLines);

// A typed line meant for the gateway rather than the TNC: an announcement
// ("G4TST >QRV 6m") or a spot with its frequency ("G4TST 14025.5 K1ABC").
// TNC commands ("C GB7XX", "TXDELAY 30") are not.
bool IsGatewaySubmission(std::string_view line);

class TncWebGateway {
 public:
  // send: text for the TNC, its CR included (the aux port's line sender).
  // status: the status bar's state text.
  TncWebGateway(EventLoop& loop, TncGatewayConfig config, std::function<void(const std::string&)> send,
                std::function<void(const std::string&)> status);
  ~TncWebGateway();

  const TncGatewayConfig& Config() const { return config_; }
  bool Running() const { return step_ != Step::Idle; }

  // Text that arrived from the serial port. Returns how much of it was the
  // page (or the reply to a post): the rest is the session's as usual.
  std::size_t OnReceived(std::string_view text);
  // A page fetched: done(page, timedOut). False (with the busy message) when
  // it cannot start now.
  bool Retrieve(std::function<void(const std::string& page, bool timedOut)> done);
  // One submission line ("G4TST 14025.5 K1ABC up 2").
  bool Submit(const std::string& line, std::function<void(bool timedOut)> done);
  // Ends a running dialogue (Escape's "Stop current process?").
  void Stop();

  // Something is still to be spoken: the radio is needed for it.
  std::function<bool()> speechQueued;
  // The busy refusal.
  std::function<void(const std::string&)> messageBox;

 private:
  enum class Step { Idle, WaitConnect, WaitPage };
  bool CanStart();
  void Begin();
  void Await(const std::string& text, Step step);
  void Timeout();
  void End(bool timedOut);
  static std::string Start(const std::string& text);

  EventLoop& loop_;
  TncGatewayConfig config_;
  std::function<void(const std::string&)> send_;
  std::function<void(const std::string&)> status_;
  std::unique_ptr<Timer> timer_;
  std::unique_ptr<ScriptWaiter> waiter_;
  Step step_ = Step::Idle;
  bool retrieval_ = false;
  bool stopSent_ = false;
  std::string submission_;
  std::string page_;
  std::function<void(const std::string&, bool)> done_;
};

}  // namespace qn
