#include "app/app.h"

#include "app/session_wiring.h"
#include "bridge/bridging.h"
#include "core/command_line.h"
#include "core/frame_commands.h"
#include "core/personal_info.h"
#include "core/replay.h"
#include "core/site_file.h"
#include "core/site_list.h"
#include "core/site_update.h"
#include "core/text.h"
#include "irc/chat_greeting.h"
#include "irc/irc_session.h"
#include "links/links.h"
#include "lookups/lookups.h"
#include "rig/rig_control.h"
#include "serial/aux_port.h"
#include "serial/serial_link.h"
#include "serial/tnc_dialogue.h"
#include "session/capture_rules.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/script_engine.h"
#include "session/sender.h"
#include "session/tcp_link.h"
#include "session/transports.h"
#include "session/typed_input.h"
#include "sound/speech_player.h"
#include "traffic/alerts.h"
#include "traffic/classifier.h"
#include "traffic/filters.h"
#include "traffic/spot_pipeline.h"
#include "traffic/traffic_windows.h"
#include "web/tnc_web_gateway.h"
#include "web/web_poller.h"

namespace qn {

namespace {

constexpr int kSplashMs = 2500;

const char* const kTerminalHeader =
    " Received Text:\r\n"
    " Tips: Double click any Call/Pfx/Iota in this window to get info about it\r\n"
    "        Right click any callsign to perform a double web search on it\r\n";

}  // namespace

App::App(Ports ports, DataFolder folder) : Instance(ports, std::move(folder)) {
  BuildMenu();
  settingsSaved.Subscribe([this] {
    if (player_ && settings_.idIntervalMinutes >= 1) player_->RestartIdInterval();
  });
}

App::~App() = default;

void App::BuildMenu() {
  menu_.Add({kCaptureMenuId, "&File", kOpenCaptureCaption, "Shift+F1",
             [this] {
               if (CaptureMenu(*this)) OpenDialog(DialogKind::Capture);
             },
             1});
  menu_.Add({"mnuexit", "&File", "E&xit", "Shift+F3", [this] { Close(); }, 3});
  menu_.Add({"mnualerts", "&Configuration", "Al&erts...", "", [this] { OpenDialog(DialogKind::Alerts); }, 1});
  menu_.Add(
      {"mnufilters", "&Configuration", "&Filters...", "", [this] { OpenDialog(DialogKind::Filters); }, 4});
  menu_.Add({"mnutalkfn", "&Configuration", "&Talk Functions...", "",
             [this] { OpenDialog(DialogKind::TalkFunctions); }, 10});
  menu_.Add({"mnuautoans", "&Options", "&Auto Answer", "",
             [this] { ToggleOption(&AppOptions::autoAnswer, "mnuautoans"); }, 2, true});
  menu_.Add({"mnutalkprio", "&Options", "&Talk Priority", "",
             [this] { ToggleOption(&AppOptions::talkPriority, "mnutalkprio"); }, 9, true});
  menu_.Add({"mnutalkto", "&Options", "Talk To", "F12",
             [this] {
               if (pipeline_) SetTypedLine(pipeline_->Talk().F12Text());
             },
             12});
  menu_.Add({"mnumacros", "&Configuration", "&Macros...", "", [this] { OpenDialog(DialogKind::Macros); }, 7});
  menu_.Add({"mnupers", "&Configuration", "&Personal Info...", "",
             [this] { OpenDialog(DialogKind::PersonalInfo); }, 8});
  menu_.Add({"mnuconnect", "&Session", "&Connect", "",
             [this] {
               if (connection_) connection_->MenuConnect();
             },
             1});
  menu_.Add({"mnudisc", "&Session", "&Disconnect", "",
             [this] {
               if (connection_) connection_->MenuDisconnect();
             },
             2});
  menu_.Add({"mnusite", "&Session", "Site &List...", "", [this] { ShowSiteList(); }, 3});
  menu_.Add(
      {"mnurecon", "&Options", "Auto &Reconnection", "", [this] { ToggleAutoReconnection(); }, 3, true});
  menu_.Add({"mnukeep", "&Options", "&Keep Alive", "", [this] { ToggleKeepAlive(); }, 5, true});
  BuildLookupMenu();
  BuildSoundMenu();
  BuildRigMenu();
  BuildFrameMenu();
  BuildLinksMenu();
  BuildWebMenu();
  BuildBridgeMenu();
  BuildSerialMenu();
}

void App::WireTelnetSession() {
  tcpLink_ = std::make_unique<TcpLink>(*ports_.sockets);
  WireSession(*tcpLink_, nullptr);
  tcpLink_->onPeerNotReading = [this] { connection_->DropDeafNode(); };
}

void App::WireSession(ByteLink& link, std::unique_ptr<SessionTransport> transport) {
  connection_ = std::make_unique<ConnectionControl>(*this, link);
  receiver_ = std::make_unique<Receiver>(Window(WindowId::Terminal), &capture_);
  receiver_->SetTelnet(link.SpeaksTelnet());
  // Negotiation answers are commands: straight to the link, past the send path.
  receiver_->sendRaw = [&link](std::string_view bytes) { link.Write(bytes); };
  receiver_->programInFront = [this] { return IsProgramInFront(); };
  receiver_->ircSession = [this] { return connection_->Modes().irc; };
  receiver_->terminalChanged = [this] { connection_->CheckLoginPrompt(); };
  receiver_->steps.nodeHop = [this](const std::string&, const std::string& title) {
    if (connection_->CustomTitle().empty()) frame_.SetTitle(title);
    connection_->NodeHopped();
  };
  connection_->onReceived = [this](std::string_view bytes) { receiver_->OnData(bytes); };
  connection_->onNewConnection = [this] { receiver_->MarkNewConnection(); };
  connection_->resetLineCounter = [this] { receiver_->ResetLineCounter(); };

  if (transport) {
    transport_ = std::move(transport);
  } else if (state_.replayMode) {
    transport_ = std::make_unique<ReplayTransport>(folder_);
  } else {
    auto linkTransport = std::make_unique<LinkTransport>(link, state_.keepAliveLines);
    linkTransport->resetKeepAliveMinutes = [this] { connection_->ResetKeepAliveMinutes(); };
    transport_ = std::move(linkTransport);
  }
  sender_ = std::make_unique<Sender>(state_.sendTerminator, ports_.loop, transport_.get());
  sender_->sessionFlags = [this] {
    SessionFlags f;
    f.irc = connection_->Modes().irc;
    f.chat = connection_->Modes().chat;
    f.ircChannel = connection_->Modes().ircChannel;
    f.robotNick = connection_->Modes().RobotOrChannel();
    return f;
  };
  connection_->onSendReady = [this] { sender_->SendToSession(); };
  onSendLine = [this](const std::string& text) { sender_->Send(text); };

  typedInput_ = std::make_unique<TypedInput>(*this, *sender_);
  typedInput_->stopAutomaticConnection = [this](bool keep) { connection_->StopAutomaticConnection(keep); };
  typedInput_->escapeSteps.push_back([this] { return connection_ && connection_->OfferToStopConnection(); });
  onTypedLine = [this](const std::string& line) { typedInput_->Enter(line); };

  script_ = std::make_unique<ScriptEngine>(*this, *connection_);
  ConnectScript(*connection_, *script_);
  script_->sendTyped = [this](const std::string& text) { sender_->Send(text + state_.sendTerminator); };
  script_->sendRaw = [this](const std::string& text) { sender_->RawSend(text); };
  receiver_->scriptMatcher = [this](std::string& transcript) { script_->ScriptMatcher(transcript); };
  script_->startProgram = [this](const std::string& program, const std::vector<std::string>& args) {
    StartHelper(program, args, WindowStyle::Minimised);
  };
  WireIrc();
}

void App::ShowSiteList() {
  if (!siteList_) return;
  siteList_->Show();
  OpenDialog(DialogKind::SiteList);
}

void App::ToggleAutoReconnection() {
  bool on = !options_.autoReconnection;
  options_.autoReconnection = on;
  frame_.SetChecked("mnurecon", on);
  if (connection_) connection_->MutableFlags().autoReconnect = on;
}

void App::ToggleKeepAlive() {
  if (options_.keepAlive && options_.autoReconnection) {
    auto r = ports_.prompter.MessageBox(
        "Warning: by doing this you'll loose the automatic reconnection; continue?", MsgIcon::Question,
        MsgButtons::YesNo, 2);
    if (r != MsgResult::Yes) return;
    if (connection_) {
      connection_->SetKeepAlive(false);
      connection_->StopAutomaticConnection(false);
    }
    options_.keepAlive = false;
    options_.autoReconnection = false;
    frame_.SetChecked("mnukeep", false);
    frame_.SetChecked("mnurecon", false);
    return;
  }
  if (connection_) {
    connection_->SetKeepAlive(!options_.keepAlive);
  } else {
    options_.keepAlive = !options_.keepAlive;
    frame_.SetChecked("mnukeep", options_.keepAlive);
  }
}

bool App::PressKey(const std::string& key) {
  // Alt+digit: the macros of the typed-input box.
  std::string k = UCase(Trim(key));
  if (k.size() == 5 && StartsWith(k, "ALT+") && k[4] >= '0' && k[4] <= '9') {
    if (!typedInput_) return false;
    typedInput_->AltDigit(k[4] - '0');
    return true;
  }
  if (k == "ESCAPE") {
    if (!typedInput_) return false;
    // The window that had the focus last takes it: the escape steps, then its caret to the end.
    trafficWindows_->KeyPress(trafficWindows_->Focused(), TrafficKey::Escape);
    return true;
  }
  const MenuAction* a = menu_.FindByShortcut(key);
  if (!a || !a->run || !frame_.Item(a->id).enabled) return false;
  a->run();
  return true;
}

void App::StartUp(const std::string& commandText) {
  // Start values and the command line.
  state_ = AppState{};
  StartupCommand cmd = ParseCommandText(commandText);
  state_.sessionKind = cmd.sessionKind;
  state_.startupHost = cmd.startupHost;
  state_.startupSite = cmd.startupSite;
  state_.replayMode = cmd.replayMode;
  state_.pendingSite.SetName("");
  state_.retryCounter = state_.retryLimit = 30000;

  // The data folder and the other running copies.
  state_.programDir = folder_.Root().string();
  CountInstances();
  state_.helpFile = state_.programDir + "/quillnet.hlp";

  // Line ends.
  state_.newline = "\r\n";
  state_.sendTerminator = "\n";

  // Positions and configuration of the session kind.
  LoadSettings();

  // The alerts archive of the last run.
  folder_.Remove("ARCHIVE\\ALERTS.TXT");

  // Site changes handed over by an installer (telnet instances only).
  if (state_.sessionKind == SessionKind::Telnet) ApplyHandedOverSites();

  // The splash window closes itself after a moment.
  frame_.SetSplashVisible(true);
  splashTimer_ = ports_.loop.CreateTimer(kSplashMs, true, [this] {
    splashTimer_->SetEnabled(false);
    frame_.SetSplashVisible(false);
  });

  // The filter and alert tables; the bridge and crypto tables load with the bridge's wiring.
  LoadTrafficTables();

  if (state_.sessionKind == SessionKind::Telnet && ports_.sockets) {
    WireTelnetSession();
  }
  if (state_.sessionKind == SessionKind::Tnc && !state_.replayMode) WireTncSession();
  if (state_.sessionKind != SessionKind::Web) {
    siteList_ = std::make_unique<SiteList>(*this);
    if (connection_) {
      siteList_->connectCurrentSite = [this] {
        connection_->SetAutoState(AutoState::Off);
        connection_->ClearConnecting();
        connection_->ConnectCurrentSite();
      };
    }
  }
  WireTraffic();
  if (state_.sessionKind == SessionKind::Web && ports_.sockets) WireWebSession();
  WireLinks();
  WireSerial();
  WireBridge();

  // The sound devices, the volume and the sound folder.
  state_.startingUp = true;
  state_.soundFolder =
      state_.programDir +
      (folder_.Resolve("SOUNDF") && fs::is_directory(*folder_.Resolve("SOUNDF")) ? "/SOUNDF/" : "/SOUNDS/");
  StartUpSound();

  // The windows, with their headers; the front end applies fonts and colours.
  CreateWindows();

  // The PTT port.
  LoadPttPort();
  StartUpRig();

  // Ready; the callsign is asked for when none is set.
  state_.startingUp = false;
  timerTim_ = ports_.loop.CreateTimer(250, true, [this] { TickClock(); });
  if (settings_.ownCallsign.empty() && AskCallsign(ports_.prompter, settings_)) SaveSettings();

  // The session of the chosen kind.
  StartSession();
}

void App::CountInstances() {
  int telnet = 0, tnc = 0, web = 0;
  for (const auto& title : ports_.registry.OtherTitles()) {
    if (InStr(title, "Quillnet") == 0) continue;
    state_.otherCopyAtStart = true;
    auto open = title.find('[');
    auto close = title.find(']', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || close == std::string::npos) continue;
    std::string tag = title.substr(open + 1, close - open - 1);
    if (StartsWith(tag, "TNC:"))
      ++tnc;
    else if (StartsWith(tag, "Web:"))
      ++web;
    else
      ++telnet;
  }
  int own = state_.sessionKind == SessionKind::Tnc   ? tnc
            : state_.sessionKind == SessionKind::Web ? web
                                                     : telnet;
  state_.instanceNumber = own + 1;
}

void App::ApplyHandedOverSites() {
  // Sites handed to a fresh data folder must not be thrown away for want of a
  // Site file to merge them into.
  if (folder_.Exists("add.txt") && folder_.Exists("add.sit")) SiteFile(folder_, state_.sessionKind).Open();
  SiteUpdateSummary summary = ApplySiteUpdate(folder_);
  if (summary.failed)
    frame_.SetStatus("The handed-over site changes could not be applied; they are kept for the next start");
}

void App::CreateWindows() {
  for (int w : positions_.order) {
    switch (w) {
      case 1:
        Append(WindowId::Announcements, " Received Announcements:\r\n");
        break;
      case 2:
        Append(WindowId::Talks, " Received Talks:\r\n");
        break;
      case 3:
        Append(WindowId::Spots, " Received DX Spots:\r\n");
        break;
      case 5:
        Append(WindowId::Terminal, kTerminalHeader);
        break;
      default:
        break;
    }
  }
}

void App::StartSession() {
  switch (state_.sessionKind) {
    case SessionKind::Tnc:
      frame_.SetTitle("Quillnet [TNC:" + Trim(settings_.auxPortList) + "]");
      StartTncSession();
      break;
    case SessionKind::Web:
      StartWebSession();
      break;
    case SessionKind::Telnet:
      if (state_.replayMode) {
        frame_.SetStatus("Rolling Demo");
        replay_ = std::make_unique<Replay>(*this);
        replay_->onSpotLine = [this](const std::string& line) {
          events_.spotLine.Fire(line, SpotSource::Main);
          StartSpeaking();
        };
        if (!replay_->Start(replayFirstTickMs_))
          frame_.SetStatus("No demo traffic: ARCHIVE\\DEMO.TXT is missing or empty");
      }
      if (!connection_ || state_.replayMode) break;
      if (!state_.startupHost.empty()) {
        // The host of a "telnet://" link.
        connection_->ConnectHost(state_.startupHost);
      } else if (!state_.startupSite.empty()) {
        if (!connection_->ConnectSite(state_.startupSite, true)) {
          frame_.SetStatus("No site named " + state_.startupSite + " in the site list");
        }
      } else {
        ShowSiteList();
      }
      break;
  }
}

void App::TickClock() { frame_.SetTime(UtcNow().Format("hh:mm:ss")); }

void App::Close() {
  if (closed_) return;
  closed_ = true;
  if (connection_) {
    if (connection_->Connected()) SendLine(connection_->LogoutCommand() + state_.sendTerminator);
    connection_->Disconnect();
  }
  capture_.Close();
  if (onQuit) onQuit();
}

}  // namespace qn
