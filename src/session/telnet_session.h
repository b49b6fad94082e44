// The network session of a telnet instance: connecting to a site or a typed
// host, the login-prompt detection, automatic connection with retries and
// reconnection after a drop, the keep-alive and the disconnect. Owns the
// socket; received bytes go to the receive path, the send path writes through
// this object's pending output.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"
#include "session/host_text.h"
#include "session/session_transport.h"

namespace qn {

class App;

// The site's switches, taken from its record at each connect.
struct SiteFlags {
  bool bridgeFromRemote = false;
  bool bridgeToRemote = false;
  bool useScript = false;
  bool autoReconnect = false;
  bool ddeIn = false;
  bool ddeOut = false;
  bool serviceOther = false;
};

// Sub-modes chosen by the site name at each connect.
struct SessionModes {
  bool serverMode = false;
  bool irc = false;
  bool chat = false;
  std::string ircChannel;
};

class TelnetSession : public TcpSocketListener, public SessionTransport {
 public:
  static constexpr int kUserDisconnect = 1000;
  static constexpr int kServerRearm = 100;
  static constexpr const char* kAutoMessage =
      "Automatic connection in progress: no need to type before it's done...";
  // What may wait for a node that does not read; past it the session is dropped.
  static constexpr std::size_t kMaxPendingOutput = 1 << 20;
  static constexpr const char* kDeafNodeMessage = "the node does not read what is sent";

  TelnetSession(App& app, SocketFactory& sockets);
  ~TelnetSession() override;

  // Connect procedures.
  void ConnectHost(const std::string& hostText);
  // False when no site of that name exists.
  bool ConnectSite(const std::string& name, bool connectNow);
  void ConnectCurrentSite();
  // Shutdown: closes a started client connection without reconnection.
  void Disconnect();
  void MenuConnect();
  void MenuDisconnect();
  void StopAutomaticConnection(bool keepReconnection);
  // A "connected to" line: with auto reconnection on, the keep-alive lines go
  // to the new node at once.
  void NodeHopped();
  // Escape while an attempt runs (retries pending or a connect not yet
  // answered): asks before stopping it. False when nothing was running.
  bool OfferToStopConnection();
  // The node's logout word for this kind of session.
  std::string LogoutCommand() const;

  // The Keep Alive option (menu); the timer runs while it is on.
  void SetKeepAlive(bool on);
  bool KeepAliveOn() const;
  void ResetKeepAliveMinutes() { keepAliveMinutes_ = 0; }
  int KeepAliveMinutes() const { return keepAliveMinutes_; }
  int KeepAlivePeriod() const { return keepAlivePeriod_; }

  bool Connected() const override;
  bool Connecting() const { return connecting_; }
  // The site list's OK starts afresh even if an earlier connect never ended.
  void ClearConnecting() { connecting_ = false; }
  int AutoState() const { return autoState_; }
  void SetAutoState(int s) { autoState_ = s; }
  int UserDisconnectMarker() const { return userDisconnectMarker_; }
  int RetryIntervalMinutes() const { return retryIntervalMinutes_; }
  void SetRetryIntervalMinutes(int m) { retryIntervalMinutes_ = m; }
  int MinutesSinceAttempt() const { return minutesSinceAttempt_; }
  void SetMinutesSinceAttempt(int m) { minutesSinceAttempt_ = m; }
  std::string& FallbackSite() { return fallbackSite_; }
  std::string& CustomTitle() { return customTitle_; }
  const SiteFlags& Flags() const { return flags_; }
  SiteFlags& MutableFlags() { return flags_; }
  const SessionModes& Modes() const { return modes_; }
  SessionModes& MutableModes() { return modes_; }
  bool AutoTimerRunning() const;
  // Restarts the automatic-connection count (a script's wait does this).
  void RestartAutoTimer();
  void StopAutoTimer();

  // Looks at the end of the terminal text for a login prompt; run after every
  // change of the terminal text.
  void CheckLoginPrompt();

  // SessionTransport: data, with every byte 255 doubled.
  void SendRaw(std::string_view bytes) override;
  // Telnet commands (negotiation replies), written as they are.
  void SendCommand(std::string_view bytes);
  bool HasPendingOutput() const override { return !pendingOutput_.empty(); }
  void FlushPending() override;

  // TcpSocketListener
  void OnConnected() override;
  void OnDataArrived(std::size_t byteCount) override;
  void OnReadyToSend() override;
  void OnClosed() override;
  void OnError(int code, const std::string& description) override;

  // Filled by the subsystems that own these steps.
  std::function<void(std::string_view bytes)> onReceived;   // the receive path
  std::function<void()> onNewConnection;                    // receive buffers start over
  std::function<void()> loadScript;                         // script loaded at connect
  std::function<bool()> scriptRunnable;                     // usable and not empty
  std::function<void()> runScript;                          // engine from the first line
  std::function<void()> restartScript;                      // engine from line one again
  std::function<void()> resetScriptPending;                 // script's pending-command state
  std::function<bool()> scriptHasTitleCommand;              // "/F" or "\F" line present
  std::function<void()> onCallPrompt;                       // "enter your call:" seen
  std::function<void()> releaseLoginWait;                   // script waiting for a prompt
  std::function<void()> resetLineCounter;                   // at connect and at each login prompt
  std::function<void()> onSessionReset;                     // script wait text, "/B", ExchangeOn
  std::function<void()> onSendReady;                        // SendToSession continues a long line
  std::function<void(const std::string&)> auxBridgeNotice;  // "*** CONNECTED" to the aux port
  std::function<void()> startServerListen;                  // server mode listens
  std::function<void()> serverRearm;                        // server mode after a caller left
  // Numbers in [0, 1) for random ports and host lists; seeded per connect.
  std::function<double()> random;

  SocketFactory& Sockets() { return sockets_; }
  TcpSocket* Socket() { return socket_.get(); }

 private:
  void StartConnect(const HostTarget& target);
  void DisconnectHandling();
  void AutomaticConnectionTick();
  void KeepAliveTick();
  void SetTitleFor(const std::string& host);
  void SetSessionMenus(bool connected);
  void ReportError(const std::string& description);
  void ReadSiteFlags(const SiteRecord& site);
  void Write(std::string_view bytes);
  void DropDeafNode();

  App& app_;
  SocketFactory& sockets_;
  std::unique_ptr<TcpSocket> socket_;
  std::unique_ptr<Timer> timerAuto_;
  std::unique_ptr<Timer> timerKeepAlive_;
  std::mt19937 rng_;

  bool connecting_ = false;
  bool clientStarted_ = false;
  bool adHoc_ = false;
  int userDisconnectMarker_ = 0;
  int autoState_ = 0;
  int retryIntervalMinutes_ = 2;
  int minutesSinceAttempt_ = 0;
  std::string fallbackSite_;
  std::string customTitle_;
  int keepAlivePeriod_ = 5;
  int keepAliveMinutes_ = 0;
  SiteFlags flags_;
  SessionModes modes_;
  std::string pendingOutput_;
  // Login prompts: where in the whole terminal stream the last one was seen.
  std::size_t lastPromptAt_ = static_cast<std::size_t>(-1);
};

}  // namespace qn
