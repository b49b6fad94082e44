// Connection control of a session over any byte link: connecting to a site or
// a typed host, the login-prompt detection, automatic connection with retries,
// the fallback site and reconnection after a drop, the keep-alive and the
// disconnect. Received bytes go to the receive path; the send path writes to
// the link.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "core/event_list.h"
#include "platform/event_loop.h"
#include "session/byte_link.h"
#include "session/host_text.h"

namespace qn {

class Instance;

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
  // The channel's spot robot that IRC requests go to; without one they go to
  // the channel, where the robots listen too.
  std::string robotNick;
  std::string RobotOrChannel() const { return robotNick.empty() ? ircChannel : robotNick; }
};

// Where an automatic connection stands.
enum class AutoState {
  Off,           // connects only when asked to
  FirstAttempt,  // the site's script asked for automatic connection
  Retrying,      // a later attempt made by the retry timer
};

// What connection control expects of the link after the last connect or drop.
enum class LinkMarker {
  NoPromptWatch,    // connected to a site that serves others: no login prompts
  WatchingPrompts,  // connected; a login prompt enables typing
  ServerRearm,      // server mode listens again after its caller left
  UserDisconnect,   // the user closed it: no drop handling, no reconnection
};

class ConnectionControl : public ByteLinkListener {
 public:
  static constexpr const char* kAutoMessage =
      "Automatic connection in progress: no need to type before it's done...";
  static constexpr const char* kDeafNodeMessage = "the node does not read what is sent";

  ConnectionControl(Instance& app, ByteLink& link);
  ~ConnectionControl() override;

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

  bool Connected() const { return link_.IsOpen(); }
  bool Connecting() const { return connecting_; }
  // The site list's OK starts afresh even if an earlier connect never ended.
  void ClearConnecting() { connecting_ = false; }
  qn::AutoState AutoState() const { return autoState_; }
  void SetAutoState(qn::AutoState s) { autoState_ = s; }
  LinkMarker Marker() const { return marker_; }
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
  // The retry timer's handling at once (a TNC reports it reconnected).
  void AutomaticConnectionNow() { AutomaticConnectionTick(); }

  // Looks at the end of the terminal text for a login prompt; run after every
  // change of the terminal text.
  void CheckLoginPrompt();

  ByteLink& Link() { return link_; }

  // ByteLinkListener
  void OnLinkOpened() override;
  void OnLinkData(std::string_view bytes) override;
  void OnLinkWritable() override;
  // The link gave up on a node that does not read what is sent.
  void DropDeafNode();
  void OnLinkClosed() override;
  void OnLinkError(int code, const std::string& description) override;

  // The link came up (after the title and menus are set), or went down
  // (after "***  DISCONNECTED" is shown), whoever closed it.
  EventList<> connected;
  EventList<> dropped;
  // A batch of received bytes went through the receive path.
  EventList<> batchHandled;

  // Filled by the subsystems that own these steps.
  std::function<void(std::string_view bytes)> onReceived;  // the receive path
  std::function<void()> onNewConnection;                   // receive buffers start over
  std::function<void()> loadScript;                        // script loaded at connect
  std::function<bool()> scriptRunnable;                    // usable and not empty
  std::function<void()> runScript;                         // engine from the first line
  std::function<void()> restartScript;                     // engine from line one again
  std::function<void()> resetScriptPending;                // script's pending-command state
  std::function<bool()> scriptHasTitleCommand;             // "/F" or "\F" line present
  std::function<void()> onCallPrompt;                      // "enter your call:" seen
  std::function<void()> releaseLoginWait;                  // script waiting for a prompt
  std::function<void()> resetLineCounter;                  // at connect and at each login prompt
  std::function<void()> onSessionReset;                    // script wait text, "/B", ExchangeOn
  std::function<void()> onSendReady;                       // SendToSession continues a long line
  std::function<void()> startServerListen;                 // server mode listens
  std::function<void()> serverRearm;                       // server mode after a caller left
  // Numbers in [0, 1) for random ports and host lists; seeded per connect.
  std::function<double()> random;

 private:
  void StartConnect(const HostTarget& target);
  void DisconnectHandling();
  void AutomaticConnectionTick();
  void KeepAliveTick();
  void SetTitleFor(const std::string& host);
  void SetSessionMenus(bool connected);
  void ReportError(const std::string& description);
  void ReadSiteFlags(const SiteRecord& site);

  Instance& app_;
  ByteLink& link_;
  std::unique_ptr<Timer> timerAuto_;
  std::unique_ptr<Timer> timerKeepAlive_;
  std::mt19937 rng_;

  bool connecting_ = false;
  bool clientStarted_ = false;
  bool adHoc_ = false;
  LinkMarker marker_ = LinkMarker::NoPromptWatch;
  qn::AutoState autoState_ = qn::AutoState::Off;
  int retryIntervalMinutes_ = 2;
  int minutesSinceAttempt_ = 0;
  std::string fallbackSite_;
  std::string customTitle_;
  int keepAlivePeriod_ = 5;
  int keepAliveMinutes_ = 0;
  SiteFlags flags_;
  SessionModes modes_;
  // Login prompts: where in the whole terminal stream the last one was seen.
  std::size_t lastPromptAt_ = static_cast<std::size_t>(-1);
};

}  // namespace qn
