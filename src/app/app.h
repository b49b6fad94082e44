// The assembly of one running copy: builds the subsystems of the chosen
// session kind around the shared models of an Instance, hands each the
// collaborators it uses and wires their events. The only code that knows
// every subsystem.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/event_list.h"
#include "core/instance.h"
#include "traffic/spot_record.h"

namespace qn {

class Classifier;
class Replay;
class ScriptEngine;
class Alerts;
class Filters;
class SiteList;
class SpotPipeline;
class SpeechPlayer;
class ConnectionControl;
class SessionTransport;
class TcpLink;
class Receiver;
class Sender;
class TypedInput;
class TrafficWindows;
class Lookups;
class RigControl;
class FrameCommands;
class Links;
class WebPoller;
class TncWebGateway;
struct Bridging;
class IrcSession;
class ChatGreeting;
class AuxPort;
class TncDialogue;
class SerialLink;
class ByteLink;
class AlertsRules;
class FilterRules;
class SoundRules;
struct LinksFields;
struct WebClusterFields;

// Lines every source of traffic (a session, the replay, the links) hands on
// once classified.
struct TrafficEvents {
  // A spot line for the pipeline.
  EventList<const std::string&, SpotSource> spotLine;
  // Shown in the announcement or talk window.
  EventList<const std::string&> announcementShown;
  EventList<const std::string&, SpotSource, const std::string& /*talker*/> talkShown;
};

class App : public Instance {
 public:
  App(Ports ports, DataFolder folder);
  ~App() override;

  // Runs the start-up sequence for the original command text (the Linux
  // options already taken out). Returns with the session started.
  void StartUp(const std::string& commandText);
  // Before StartUp: the wait before the first replayed line.
  void SetReplayFirstTickMs(int ms) { replayFirstTickMs_ = ms; }

  Replay* ReplayMode() { return replay_.get(); }
  // Connection control of a telnet instance (null in other kinds).
  ConnectionControl* Connection() { return connection_.get(); }
  Receiver* ReceivePath() { return receiver_.get(); }
  Sender* SendPath() { return sender_.get(); }
  TypedInput* Typed() { return typedInput_.get(); }
  // The connection script of a telnet instance (null in other kinds).
  ScriptEngine* Script() { return script_.get(); }
  // Every received cluster line of the instance passes through it.
  Classifier* LineClassifier() { return classifier_.get(); }
  // Spots, talks and the speech queue.
  SpotPipeline* Pipeline() { return pipeline_.get(); }
  Filters* SpotFilters() { return filters_.get(); }
  Alerts* SpotAlerts() { return alerts_.get(); }
  // Keys, mouse, find and clear in the traffic windows; the clicked word.
  TrafficWindows* TrafficWin() { return trafficWindows_.get(); }
  // Lookups and web searches.
  Lookups* Lookup() { return lookups_.get(); }
  // Links to other copies and programs, and the logger's "outgoing.txt".
  Links* LinkIo() { return links_.get(); }
  // Polling and submission of a web instance (null in other kinds; app_web.cpp).
  WebPoller* Web() { return web_.get(); }
  // Bridge, link crypto, RF gateway, DX robot and server mode (app_bridge.cpp).
  Bridging* Bridges() { return bridging_.get(); }
  // IRC and chat sessions of a telnet instance (app_irc.cpp).
  IrcSession* Irc() { return irc_.get(); }
  ChatGreeting* Greeting() { return chatGreeting_.get(); }
  // Where classified lines go on: each is a list the subsystems that want
  // the line subscribe to.
  TrafficEvents& Events() { return events_; }
  // The rules of the site list dialog (telnet and TNC instances).
  SiteList* Sites() { return siteList_.get(); }
  // ShowSiteList: the "Connect to site" dialog.
  void ShowSiteList();
  // Runs the command bound to a key name ("Alt+1", "F12", "Shift+F3").
  bool PressKey(const std::string& key);

  // Sound and voice (app_sound.cpp): the player of the speech queue, its
  // start after each batch of received data, and Escape's skip of the entry
  // being spoken (false when nothing is queued).
  SpeechPlayer* Player() { return player_.get(); }
  void StartSpeaking();
  bool SkipSpokenEntry();
  // Rig control (app_rig.cpp): tuning the radio to spots, its frequency in the status bar.
  RigControl* Rig() { return rig_.get(); }
  // The aux comm port and, in a TNC instance, its dialogues (app_serial.cpp).
  AuxPort* Aux() { return aux_.get(); }
  TncDialogue* Tnc() { return tncDialogue_.get(); }

  // The rules of the dialogs that act on subsystems, handed their collaborators.
  SoundRules MakeSoundRules();
  AlertsRules MakeAlertsRules();
  FilterRules MakeFilterRules();

  // Print, fonts, scroll bars, restore defaults, about and help (app_frame.cpp).
  FrameCommands* FrameCmds() { return frameCommands_.get(); }
  // Closing the frame: the node's logout, disconnect, then quit.
  void Close();
  bool Closed() const { return closed_; }

 private:
  void BuildMenu();
  // The Edit, Ham Info, Window and Clock rows and their owners (app_lookups.cpp).
  void BuildLookupMenu();
  void ApplyHandedOverSites();
  void CountInstances();
  void CreateWindows();
  void StartSession();
  void TickClock();
  void ToggleKeepAlive();
  void ToggleAutoReconnection();
  void WireTelnetSession();
  void WireSession(ByteLink& link, std::unique_ptr<SessionTransport> transport);
  // The aux port and the TNC session (app_serial.cpp).
  void BuildSerialMenu();
  void WireTncSession();
  void WireSerial();
  void StartTncSession();
  void WireTraffic();
  void LoadTrafficTables();
  void BuildSoundMenu();
  void BuildFrameMenu();
  void StartUpSound();
  void LoadPttPort();
  void BuildRigMenu();
  void StartUpRig();
  // The links' menu rows, their wiring and the tag that follows the title (app_links.cpp).
  void BuildLinksMenu();
  void WireLinks();
  void BuildWebMenu();
  void WireWebSession();
  void StartWebSession();
  // A page's lines into the windows and the pipeline (a web session's poll or
  // a TNC session's web gateway).
  void FileWebPage(const std::string& reply, bool jac);
  void WireTncGateway();
  void SendGatewayQueue();
  void BuildBridgeMenu();
  void WireBridge();
  void WireBridgeToAux();
  void WireIrc();

  TrafficEvents events_;
  std::unique_ptr<Timer> timerTim_;
  std::unique_ptr<Timer> splashTimer_;
  std::unique_ptr<Replay> replay_;
  std::unique_ptr<TcpLink> tcpLink_;
  std::unique_ptr<AuxPort> aux_;
  std::unique_ptr<TncDialogue> tncDialogue_;
  std::unique_ptr<SerialLink> serialLink_;
  std::unique_ptr<SessionTransport> transport_;
  std::unique_ptr<ConnectionControl> connection_;
  std::unique_ptr<Receiver> receiver_;
  std::unique_ptr<Sender> sender_;
  std::unique_ptr<TypedInput> typedInput_;
  std::unique_ptr<ScriptEngine> script_;
  std::unique_ptr<SiteList> siteList_;
  std::unique_ptr<Classifier> classifier_;
  std::unique_ptr<SpotPipeline> pipeline_;
  std::unique_ptr<Filters> filters_;
  std::unique_ptr<Alerts> alerts_;
  std::unique_ptr<TrafficWindows> trafficWindows_;
  std::unique_ptr<Lookups> lookups_;
  std::unique_ptr<SpeechPlayer> player_;
  std::unique_ptr<Links> links_;
  std::unique_ptr<WebPoller> web_;
  // A TNC session's web gateway, when its site's script names one; the lines
  // typed for it that have not gone through yet; its first-round state.
  std::unique_ptr<TncWebGateway> gateway_;
  std::deque<std::string> gatewayQueue_;
  int gatewayFirstRound_ = 1;
  std::unique_ptr<IrcSession> irc_;
  std::unique_ptr<ChatGreeting> chatGreeting_;
  std::unique_ptr<FrameListener> linkTagFollower_;
  std::unique_ptr<Bridging> bridging_;
  std::unique_ptr<FrameCommands> frameCommands_;
  // Last of the subsystems: it goes first, before the frame it writes to.
  std::unique_ptr<RigControl> rig_;
  int replayFirstTickMs_ = 60000;
  bool closed_ = false;
};

// Save of the dialog in a running copy: the fields stored, the option
// "Link to DXHUNTER" set from them (a link switched on starts reading
// "outgoing.txt" afresh), the configuration written. False, with the refusal
// shown, when the dialog stays open.
bool SaveLinksDialog(App& app, const LinksFields& fields);

// Save of the dialog in a running copy: the fields stored and the
// configuration written, then the note that they apply at the next start.
// False, with the refusal shown, when the dialog stays open.
bool SaveWebClusterDialog(App& app, const WebClusterFields& fields);

}  // namespace qn
