// Everything of one running instance: the shared state, the settings, the
// frame and window models, the subsystems and the ports they were given. No
// globals, so a test can run several instances side by side.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/app_state.h"
#include "core/event_list.h"
#include "core/files.h"
#include "core/frame_state.h"
#include "core/menu_table.h"
#include "core/positions.h"
#include "platform/clock.h"
#include "platform/dialog_host.h"
#include "platform/event_loop.h"
#include "platform/instance_registry.h"
#include "platform/launcher.h"
#include "platform/link_endpoint.h"
#include "platform/port_io.h"
#include "platform/prompter.h"
#include "platform/rig.h"
#include "platform/serial_port.h"
#include "platform/sound_output.h"
#include "platform/tcp_socket.h"
#include "platform/url_opener.h"
#include "session/capture.h"
#include "session/text_window.h"
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
class AuxPort;
class TncDialogue;
class SerialLink;
class ByteLink;

// Lines every source of traffic (a session, the replay, the links) hands on
// once classified.
struct TrafficEvents {
  // A spot line for the pipeline.
  EventList<const std::string&, SpotSource> spotLine;
  // Shown in the announcement or talk window.
  EventList<const std::string&> announcementShown;
  EventList<const std::string&, SpotSource, const std::string& /*talker*/> talkShown;
};

// The Options toggles, each mirrored by its menu item's check mark.
struct AppOptions {
  bool sounds = false;
  bool voiceSpell = false;
  bool autoAnswer = false;
  bool talkPriority = false;
  bool linkToDxHunter = false;
  bool autoReconnection = false;
  bool keepAlive = false;
  bool crypto = false;
  bool verticalScrollBars = false;
};

struct Ports {
  EventLoop& loop;
  Clock& clock;
  Prompter& prompter;
  InstanceRegistry& registry;
  DialogHost* dialogs = nullptr;
  SocketFactory* sockets = nullptr;  // none: no network session
  Launcher* launcher = nullptr;      // none: helper programs are not started
  UrlOpener* urls = nullptr;         // none: web searches without a helper open nothing
  SoundOutput* sound = nullptr;      // none: no sound device
  PortIo* portIo = nullptr;          // none: no PTT line
  RigFactory* rigs = nullptr;        // none: rig control cannot be switched on
  LinkEndpoint* links = nullptr;     // none: no local links to other programs
  SerialPort* serial = nullptr;      // none: the aux port never opens
};

class App {
 public:
  App(Ports ports, DataFolder folder);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Runs the start-up sequence for the original command text (the Linux
  // options already taken out). Returns with the session started.
  void StartUp(const std::string& commandText);
  // Before StartUp: the wait before the first replayed line.
  void SetReplayFirstTickMs(int ms) { replayFirstTickMs_ = ms; }

  EventLoop& Loop() { return ports_.loop; }
  Clock& ClockPort() { return ports_.clock; }
  Prompter& Prompt() { return ports_.prompter; }
  InstanceRegistry& Registry() { return ports_.registry; }
  const DataFolder& Folder() const { return folder_; }

  AppState& State() { return state_; }
  AppSettings& Settings() { return settings_; }
  const AppSettings& Settings() const { return settings_; }
  Positions& WindowPositions() { return positions_; }
  FrameState& Frame() { return frame_; }
  TextWindow& Window(WindowId id) { return windows_[static_cast<int>(id)]; }
  Capture& CaptureFile() { return capture_; }
  AppOptions& Options() { return options_; }
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
  UrlOpener* Urls() { return ports_.urls; }
  // Links to other copies and programs, and the logger's "outgoing.txt".
  Links* LinkIo() { return links_.get(); }
  // Where classified lines go on: each is a list the subsystems that want
  // the line subscribe to.
  TrafficEvents& Events() { return events_; }
  // The rules of the site list dialog (telnet and TNC instances).
  SiteList* Sites() { return siteList_.get(); }
  // ShowSiteList: the "Connect to site" dialog.
  void ShowSiteList();
  const MenuTable& Menu() const { return menu_; }
  // Runs a menu command by its captions without "&" ("Session/Disconnect").
  bool RunMenu(const std::string& path);
  // Runs the command bound to a key name ("Alt+1", "F12", "Shift+F3").
  bool PressKey(const std::string& key);

  // A line typed into the typed-input box, followed by Enter.
  void TypeLine(const std::string& line);
  // Set by the send path; until then typed lines are only shown.
  std::function<void(const std::string&)> onTypedLine;

  // Puts text into the typed-input line as if typed there (F12's talk answer).
  void SetTypedLine(const std::string& text);
  std::function<void(const std::string&)> onSetTypedLine;

  // Plays the speech queue to its end before returning (set by the sound player).
  std::function<void()> playSpeechNow;
  // Sound and voice (app_sound.cpp): the player of the speech queue, its
  // start after each batch of received data, and Escape's skip of the entry
  // being spoken (false when nothing is queued).
  SoundOutput* Sound() { return ports_.sound; }
  PortIo* PttPort() { return ports_.portIo; }
  SpeechPlayer* Player() { return player_.get(); }
  void StartSpeaking();
  bool SkipSpokenEntry();
  // Rig control (app_rig.cpp): tuning the radio to spots, its frequency in the status bar.
  RigControl* Rig() { return rig_.get(); }
  // The aux comm port and, in a TNC instance, its dialogues (app_serial.cpp).
  AuxPort* Aux() { return aux_.get(); }
  TncDialogue* Tnc() { return tncDialogue_.get(); }

  // The transmitter was keyed (true) or released.
  std::function<void(bool keyed)> onPttChanged;

  // Brings the program to the front: restores a minimised frame first when
  // asked, then raises it unless one of its windows is active already.
  void PopUpMainWindow(bool restoreFirst);
  // Front-end hooks: raise the frame; give a traffic window the focus.
  std::function<void()> onRaise;
  std::function<void(WindowId)> onFocusWindow;

  // The front end reports whether one of the program's windows is active.
  void SetProgramInFront(bool inFront) {
    inFront_ = inFront;
    ports_.registry.SetOwnInFront(inFront);
  }
  bool IsProgramInFront() const { return inFront_; }
  void Append(WindowId id, std::string_view text) { AppendToWindow(Window(id), text, inFront_); }
  // A line of the program's own: on a line of its own, however the window's
  // text ends. Returns the text appended.
  std::string ShowMessage(WindowId id, std::string_view line);

  // The frame flashes while connecting and after a drop.
  void SetFlashing(bool on);
  bool Flashing() const { return timerFlash_ && timerFlash_->Enabled(); }
  // Text (with its line end) handed to the send path.
  void SendLine(const std::string& text);
  std::function<void(const std::string&)> onSendLine;

  // Current UTC: local time plus the configured offset.
  DateTime UtcNow() const;

  void LoadSettings();
  void SaveSettings();
  void SavePositions();

  // Starts a helper program of the data folder (name as the program knows it,
  // "MAILBELL\\MAILBELL.EXE"); false when it is missing or would not start.
  bool StartHelper(const std::string& name, const std::vector<std::string>& args,
                   WindowStyle style = WindowStyle::Normal);

  // Print, fonts, scroll bars, restore defaults, about and help (app_frame.cpp).
  FrameCommands* FrameCmds() { return frameCommands_.get(); }
  // Front-end hooks: fonts, colours, layout or scroll bars changed; the help
  // topic of the focused control ("" for none).
  std::function<void()> onAppearanceChanged;
  std::function<std::string()> helpTopic;

  // Set to end the program: the front end quits its event loop.
  std::function<void()> onQuit;
  // Closing the frame: the node's logout, disconnect, then quit.
  void Close();
  bool Closed() const { return closed_; }

 private:
  class TitlePublisher;
  void BuildMenu();
  // The Edit, Ham Info, Window and Clock rows and their owners (app_lookups.cpp).
  void BuildLookupMenu();
  void ApplyHandedOverSites();
  void ApplyOptionsFromSettings();
  void CountInstances();
  void CreateWindows();
  void StartSession();
  void TickClock();
  void ToggleKeepAlive();
  void ToggleAutoReconnection();
  void OpenDialog(DialogKind kind);
  void WireTelnetSession();
  void WireSession(ByteLink& link, std::unique_ptr<SessionTransport> transport);
  // The aux port and the TNC session (app_serial.cpp).
  void BuildSerialMenu();
  void WireTncSession();
  void WireSerial();
  void StartTncSession();
  void WireTraffic();
  void LoadTrafficTables();
  void ToggleOption(bool AppOptions::*option, const char* menuId);
  void BuildSoundMenu();
  void BuildFrameMenu();
  void StartUpSound();
  void LoadPttPort();
  void BuildRigMenu();
  void StartUpRig();
  // The links' menu rows, their wiring and the tag that follows the title (app_links.cpp).
  void BuildLinksMenu();
  void WireLinks();

  Ports ports_;
  DataFolder folder_;
  AppState state_;
  AppSettings settings_;
  Positions positions_;
  FrameState frame_;
  std::array<TextWindow, 5> windows_{TextWindow(WindowId::Terminal), TextWindow(WindowId::Spots),
                                     TextWindow(WindowId::Announcements), TextWindow(WindowId::Talks),
                                     TextWindow(WindowId::TypedInput)};
  Capture capture_;
  AppOptions options_;
  TrafficEvents events_;
  MenuTable menu_;
  std::unique_ptr<TitlePublisher> titlePublisher_;
  std::unique_ptr<Timer> timerTim_;
  std::unique_ptr<Timer> timerFlash_;
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
  std::unique_ptr<FrameListener> linkTagFollower_;
  std::unique_ptr<FrameCommands> frameCommands_;
  // Last of the subsystems: it goes first, before the frame it writes to.
  std::unique_ptr<RigControl> rig_;
  int replayFirstTickMs_ = 60000;
  bool inFront_ = true;
  bool closed_ = false;
  // The configuration file exists but could not be read: it is never written over.
  bool configUnreadable_ = false;
};

}  // namespace qn
