#include "session/connection_control.h"

#include <algorithm>

#include "core/instance.h"
#include "core/site_file.h"
#include "core/text.h"

namespace qn {

namespace {

constexpr int kMinuteMs = 60000;

struct Prompt {
  const char* text;
  int effect;  // 0 none, 1 call prompt, 2 CR terminator
};
const Prompt kPrompts[] = {{"login:", 0},           {"login (your call):", 0}, {"your callsign:", 0},
                           {"enter your call:", 1}, {"callsign : ", 2},        {"callsign: ", 0}};

constexpr std::size_t kPromptWindow = 20;

}  // namespace

ConnectionControl::ConnectionControl(Instance& app, ByteLink& link)
    : app_(app), link_(link), rng_(static_cast<std::mt19937::result_type>(app.ClockPort().TickMs())) {
  random = [this] { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); };
  timerAuto_ = app_.Loop().CreateTimer(kMinuteMs, false, [this] { AutomaticConnectionTick(); });
  timerKeepAlive_ = app_.Loop().CreateTimer(kMinuteMs, false, [this] { KeepAliveTick(); });
  link_.SetListener(this);
}

ConnectionControl::~ConnectionControl() { link_.SetListener(nullptr); }
bool ConnectionControl::AutoTimerRunning() const { return timerAuto_->Enabled(); }
bool ConnectionControl::KeepAliveOn() const { return app_.Options().keepAlive; }

void ConnectionControl::RestartAutoTimer() {
  timerAuto_->SetEnabled(false);
  timerAuto_->SetEnabled(true);
}

void ConnectionControl::StopAutoTimer() { timerAuto_->SetEnabled(false); }

void ConnectionControl::SetKeepAlive(bool on) {
  app_.Options().keepAlive = on;
  app_.Frame().SetChecked("mnukeep", on);
  timerKeepAlive_->SetEnabled(on);
}

std::string ConnectionControl::LogoutCommand() const {
  if (modes_.irc) return "/Q";
  if (modes_.chat) return "/EX";
  return "b";
}

void ConnectionControl::ReadSiteFlags(const SiteRecord& site) {
  flags_.bridgeFromRemote = site.BridgeFlags() & 1;
  flags_.bridgeToRemote = site.BridgeFlags() & 2;
  flags_.useScript = site.AutoFlags() & 1;
  flags_.autoReconnect = site.AutoFlags() & 2;
  flags_.ddeIn = site.ServiceFlags() & 1;
  flags_.ddeOut = site.ServiceFlags() & 2;
  flags_.serviceOther = site.ServiceFlags() & 4;
  app_.Options().autoReconnection = flags_.autoReconnect;
  app_.Frame().SetChecked("mnurecon", flags_.autoReconnect);
}

void ConnectionControl::StopAutomaticConnection(bool keepReconnection) {
  if (onSessionReset) onSessionReset();
  app_.Frame().SetChecked("mnuautoc", false);
  app_.Frame().SetChecked("mnukeep", app_.Options().keepAlive);
  timerAuto_->SetEnabled(false);
  if (!keepReconnection) {
    flags_.autoReconnect = false;
    app_.Options().autoReconnection = false;
    app_.Frame().SetChecked("mnurecon", false);
    autoState_ = AutoState::Off;
  }
}

bool ConnectionControl::OfferToStopConnection() {
  const bool dialling = clientStarted_ && !Connected();
  if (!dialling && !AutoTimerRunning()) return false;
  if (app_.Prompt().MessageBox("Stop current connection process?", MsgIcon::Question, MsgButtons::YesNo, 2) !=
      MsgResult::Yes) {
    return true;
  }
  StopAutomaticConnection(false);
  if (clientStarted_ && !Connected()) {
    marker_ = LinkMarker::UserDisconnect;
    DisconnectHandling();
  }
  app_.SetFlashing(false);
  return true;
}

void ConnectionControl::ConnectHost(const std::string& hostText) {
  if (app_.State().replayMode) return;
  rng_.seed(static_cast<std::mt19937::result_type>(app_.ClockPort().TickMs()));
  HostTarget target = ParseHostText(hostText, random);
  if (target.isSiteName) {
    if (!ConnectSite(target.host, true)) {
      ReportError("No site named " + target.host + " in the site list");
    }
    return;
  }
  if (connecting_) return;
  if (target.host.empty()) {
    ReportError("No host name given");
    return;
  }
  connecting_ = true;
  adHoc_ = true;
  StopAutomaticConnection(true);
  // An ad-hoc host: DDE both ways, no bridging, no script.
  ReadSiteFlags(SiteRecord{});
  flags_.ddeIn = flags_.ddeOut = true;
  modes_ = SessionModes{};
  autoState_ = AutoState::Off;
  app_.State().sendTerminator = "\n";
  app_.State().currentSite = SiteRecord{};
  if (target.keepAlive) {
    keepAlivePeriod_ = *target.keepAlive > 0 ? *target.keepAlive : 5;
    SetKeepAlive(*target.keepAlive > 0);
  } else {
    keepAlivePeriod_ = 5;
  }
  StartConnect(target);
  connecting_ = false;
}

bool ConnectionControl::ConnectSite(const std::string& name, bool connectNow) {
  SiteFile file(app_.Folder(), app_.State().sessionKind);
  std::size_t number = file.FindSite(name);
  if (number == 0) return false;
  auto record = file.Read(number);
  if (!record) return false;
  app_.State().currentSite = *record;
  app_.State().pendingSite = *record;
  // The site connected last is always the first of the list.
  file.SwapWithFirst(number);
  if (connectNow) ConnectCurrentSite();
  return true;
}

void ConnectionControl::ConnectCurrentSite() {
  if (app_.State().replayMode) return;
  // A connect already running postpones an automatic one.
  if (connecting_) {
    if (autoState_ != AutoState::Off) {
      if (retryIntervalMinutes_ == 0) retryIntervalMinutes_ = 2;
      minutesSinceAttempt_ = 0;
    }
    return;
  }
  link_.Close();
  app_.SetFlashing(true);
  rng_.seed(static_cast<std::mt19937::result_type>(app_.ClockPort().TickMs()));

  // The site chosen in the site list.
  AppState& st = app_.State();
  if (!Trim(st.pendingSite.Name()).empty()) st.currentSite = st.pendingSite;
  const SiteRecord site = st.currentSite;
  const std::string name = UCase(site.Name());
  if (name.empty()) {
    app_.SetFlashing(false);
    return;
  }
  connecting_ = true;
  adHoc_ = false;
  StopAutomaticConnection(true);

  // The site's switches and script.
  ReadSiteFlags(site);
  if (loadScript) loadScript();
  if (resetScriptPending && !(scriptHasTitleCommand && scriptHasTitleCommand())) resetScriptPending();
  modes_ = SessionModes{};
  modes_.serverMode = StartsWith(name, "ACCEPT");

  // Automatic connection.
  if (flags_.useScript && autoState_ == AutoState::Off) autoState_ = AutoState::FirstAttempt;
  if (autoState_ != AutoState::Off) {
    app_.ShowMessage(WindowId::Terminal, kAutoMessage);
    if (!modes_.serverMode) {
      if (retryIntervalMinutes_ == 0) retryIntervalMinutes_ = 2;
      minutesSinceAttempt_ = 0;
      // The retries count from this attempt.
      RestartAutoTimer();
    }
  }

  // Line end and sub-modes from the name.
  st.sendTerminator = EndsWith(name, "_1") ? "\r" : EndsWith(name, "_2") ? "\r\n" : "\n";
  if (InStr(name, "IRC") > 0) {
    modes_.irc = true;
    modes_.ircChannel = "#CQDX";
  }
  if (InStr(name, "CHAT") > 0) modes_.chat = true;

  // The keep-alive before the connect, so a connect event that comes at once sees it.
  keepAlivePeriod_ = ValInt32(site.KeepAlivePeriod());
  if (keepAlivePeriod_ <= 0) keepAlivePeriod_ = 5;
  SetKeepAlive(site.KeepAliveEnabled());

  // Listen, or connect to the site's host.
  if (modes_.serverMode) {
    if (startServerListen) startServerListen();
  } else {
    StartConnect(SiteTarget(site, app_.Folder(), random));
  }
  connecting_ = false;
}

void ConnectionControl::StartConnect(const HostTarget& target) {
  link_.Close();
  clientStarted_ = true;
  app_.SetFlashing(true);
  app_.Frame().SetStatus("Trying:" + target.host);
  app_.Frame().SetHost(target.host);
  if (onNewConnection) onNewConnection();
  link_.Open({target.host, target.port});
}

void ConnectionControl::SetTitleFor(const std::string& host) {
  if (!customTitle_.empty()) {
    app_.Frame().SetTitle("Quillnet [" + customTitle_ + "]");
    return;
  }
  std::string shown = host.size() > 30 ? host.substr(0, 27) + "..." : host;
  app_.Frame().SetTitle("Quillnet [" + shown + "]");
}

void ConnectionControl::SetSessionMenus(bool connected) {
  app_.Frame().SetConnected(connected);
  app_.Frame().SetEnabled("mnudisc", connected);
  app_.Frame().SetEnabled("Textsend", connected);
}

void ConnectionControl::OnLinkOpened() {
  app_.SetFlashing(false);
  marker_ = flags_.serviceOther ? LinkMarker::NoPromptWatch : LinkMarker::WatchingPrompts;
  const std::string host = link_.PeerName();
  SetTitleFor(host);
  app_.Frame().SetStatus("Connected to " + host);
  SetSessionMenus(true);
  // The typed-input box stays disabled until the node's first login prompt,
  // where one is looked for: an IRC server, a caller of server mode or a
  // service of type Other sends none.
  if (marker_ == LinkMarker::WatchingPrompts && !modes_.irc && !modes_.serverMode)
    app_.Frame().SetEnabled("Textsend", false);
  keepAliveMinutes_ = 0;
  lastPromptAt_ = static_cast<std::size_t>(-1);
  if (resetLineCounter) resetLineCounter();
  if (loadScript) loadScript();
  if (autoState_ != AutoState::Off && scriptRunnable && scriptRunnable() && runScript) runScript();
  connected.Fire();
}

void ConnectionControl::OnLinkData(std::string_view bytes) {
  if (bytes.empty()) return;
  if (onReceived) onReceived(bytes);
  batchHandled.Fire();
}

void ConnectionControl::OnLinkWritable() {
  if (onSendReady) onSendReady();
}

void ConnectionControl::OnLinkClosed() {
  app_.SetFlashing(true);
  if (marker_ == LinkMarker::UserDisconnect) return;
  DisconnectHandling();
  modes_.serverMode = StartsWith(UCase(app_.State().currentSite.Name()), "ACCEPT");
  if (modes_.serverMode && !adHoc_) {
    marker_ = LinkMarker::ServerRearm;
    if (serverRearm) serverRearm();
    return;
  }
  if (!flags_.autoReconnect) {
    app_.SetFlashing(false);
    return;
  }
  // The first attempt comes at the next tick.
  minutesSinceAttempt_ = std::max(retryIntervalMinutes_ - 1, 0);
  RestartAutoTimer();
}

void ConnectionControl::DropDeafNode() {
  // The link has closed itself; the rest is as if the node had gone, so a
  // reconnection follows when the site asks for one.
  app_.CaptureFile().WriteShown(app_.ShowMessage(WindowId::Terminal, kDeafNodeMessage));
  OnLinkClosed();
}

void ConnectionControl::OnLinkError(int, const std::string& description) {
  const bool wasConnecting = !Connected();
  ReportError(description);
  if (wasConnecting) {
    // A failed connect ends like a drop, but without reconnecting by itself:
    // Only the retry timer of an automatic connection tries again.
    DisconnectHandling();
    if (!AutoTimerRunning()) app_.SetFlashing(false);
  }
}

void ConnectionControl::ReportError(const std::string& description) {
  if (app_.State().sessionKind == SessionKind::Web || autoState_ != AutoState::Off) {
    app_.Frame().SetStatus(description);
  } else {
    app_.Frame().SetStatus(description);
    app_.Prompt().MessageBox(description, MsgIcon::Exclamation);
  }
}

void ConnectionControl::DisconnectHandling() {
  link_.Close();
  clientStarted_ = false;
  SetSessionMenus(false);
  app_.Frame().SetEnabled("Textsend", false);
  app_.CaptureFile().WriteShown(app_.ShowMessage(WindowId::Terminal, "***  DISCONNECTED"));
  if (customTitle_.empty()) app_.Frame().SetTitle("Quillnet");
  dropped.Fire();
}

void ConnectionControl::Disconnect() {
  if (!clientStarted_) return;
  marker_ = LinkMarker::UserDisconnect;
  link_.Close();
  clientStarted_ = false;
  SetSessionMenus(false);
}

void ConnectionControl::MenuConnect() {
  if (!app_.State().startupHost.empty()) {
    ConnectHost(app_.State().startupHost);
    return;
  }
  autoState_ = AutoState::Off;
  ConnectCurrentSite();
}

void ConnectionControl::MenuDisconnect() {
  marker_ = LinkMarker::UserDisconnect;
  DisconnectHandling();
  StopAutomaticConnection(false);
  app_.SetFlashing(false);
}

void ConnectionControl::AutomaticConnectionTick() {
  AppState& st = app_.State();
  ++minutesSinceAttempt_;
  if (st.retryCounter > 0 && st.retryCounter != 30000)
    st.retryCounter = static_cast<std::int16_t>(-st.retryCounter);
  if (minutesSinceAttempt_ < retryIntervalMinutes_) return;
  retryIntervalMinutes_ = 2;
  autoState_ = AutoState::Retrying;
  if (st.retryCounter != 30000) ++st.retryCounter;
  minutesSinceAttempt_ = 0;
  RestartAutoTimer();
  app_.SetFlashing(true);
  if (st.retryCounter >= 0 && st.retryCounter != 30000) {
    StopAutomaticConnection(false);
    app_.Frame().SetStatus("Retry count exceeded");
    app_.SetFlashing(false);
    st.retryCounter = 30000;
    std::string fallback = fallbackSite_;
    fallbackSite_.clear();
    if (!fallback.empty()) ConnectSite(fallback, true);
    return;
  }
  ConnectCurrentSite();
}

void ConnectionControl::NodeHopped() {
  // The keep-alive list is how a user sets up the new node (filters, SH/DX).
  if (!flags_.autoReconnect) return;
  keepAliveMinutes_ = std::max(keepAlivePeriod_ - 1, 0);
  KeepAliveTick();
}

void ConnectionControl::KeepAliveTick() {
  keepAliveMinutes_ = std::min(keepAliveMinutes_ + 1, keepAlivePeriod_);
  if (timerAuto_->Enabled()) return;
  if (keepAliveMinutes_ != keepAlivePeriod_ || autoState_ != AutoState::Off) {
    keepAliveMinutes_ %= keepAlivePeriod_;
    return;
  }
  bool first = true;
  for (const auto& line : app_.State().keepAliveLines) {
    std::string t = Trim(line);
    if (t.empty() || t == std::string(1, '\0')) break;
    first = false;
    if (UCase(t) == "NONE") continue;
    app_.SendLine(UCase(t) + "\r\n");
  }
  if (first) app_.SendLine("\r\n");
  keepAliveMinutes_ %= keepAlivePeriod_;
}

void ConnectionControl::CheckLoginPrompt() {
  if (marker_ != LinkMarker::WatchingPrompts) return;
  const TextWindow& term = app_.Window(WindowId::Terminal);
  const std::string& text = term.Text();
  // The window must hold the longest prompt ("login (your call):" is 18).
  std::size_t n = std::min<std::size_t>(kPromptWindow, text.size());
  std::string tail = LCase(std::string_view(text).substr(text.size() - n));
  for (const auto& p : kPrompts) {
    auto pos = tail.rfind(p.text);
    if (pos == std::string::npos) continue;
    std::size_t at = static_cast<std::size_t>(term.TotalAppended() - n + pos);
    if (at == lastPromptAt_) return;
    lastPromptAt_ = at;
    if (resetLineCounter) resetLineCounter();
    if (p.effect == 1 && onCallPrompt) onCallPrompt();
    if (p.effect == 2) app_.State().sendTerminator = "\r";
    if (!app_.Frame().Item("Textsend").enabled) {
      app_.Frame().SetEnabled("Textsend", true);
      if (autoState_ != AutoState::Off && restartScript) restartScript();
    }
    if (releaseLoginWait) releaseLoginWait();
    return;
  }
}

}  // namespace qn
