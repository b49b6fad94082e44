// The shared models of one running copy and the ports it was given: state,
// settings, frame, text windows, options. No subsystem lives here; they take
// what they need of it, and the assembly in src/app wires them. No globals, so
// a test can run several instances side by side.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_settings.h"
#include "core/app_state.h"
#include "core/capture.h"
#include "core/date_time.h"
#include "core/event_list.h"
#include "core/files.h"
#include "core/frame_state.h"
#include "core/menu_table.h"
#include "core/positions.h"
#include "core/text_window.h"
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
#include "platform/tcp_listener.h"
#include "platform/tcp_socket.h"
#include "platform/url_opener.h"

namespace qn {

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
  TcpListenerFactory* listeners = nullptr;  // none: "ACCEPT" sites cannot listen
  SerialPort* serial = nullptr;              // none: the aux port never opens
};

class Instance {
 public:
  Instance(Ports ports, DataFolder folder);
  virtual ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  EventLoop& Loop() { return ports_.loop; }
  Clock& ClockPort() { return ports_.clock; }
  Prompter& Prompt() { return ports_.prompter; }
  InstanceRegistry& Registry() { return ports_.registry; }
  UrlOpener* Urls() { return ports_.urls; }
  SoundOutput* Sound() { return ports_.sound; }
  PortIo* PttPort() { return ports_.portIo; }
  const DataFolder& Folder() const { return folder_; }

  AppState& State() { return state_; }
  AppSettings& Settings() { return settings_; }
  const AppSettings& Settings() const { return settings_; }
  Positions& WindowPositions() { return positions_; }
  FrameState& Frame() { return frame_; }
  TextWindow& Window(WindowId id) { return windows_[static_cast<int>(id)]; }
  Capture& CaptureFile() { return capture_; }
  AppOptions& Options() { return options_; }
  const MenuTable& Menu() const { return menu_; }
  // Runs a menu command by its captions without "&" ("Session/Disconnect").
  bool RunMenu(const std::string& path);

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

  // A line typed into the typed-input box, followed by Enter.
  void TypeLine(const std::string& line);
  // Set by the send path; until then typed lines are only shown.
  std::function<void(const std::string&)> onTypedLine;
  // Puts text into the typed-input line as if typed there (F12's talk answer).
  void SetTypedLine(const std::string& text);
  std::function<void(const std::string&)> onSetTypedLine;
  // Text (with its line end) handed to the send path.
  void SendLine(const std::string& text);
  std::function<void(const std::string&)> onSendLine;

  // Brings the program to the front: restores a minimised frame first when
  // asked, then raises it unless one of its windows is active already.
  void PopUpMainWindow(bool restoreFirst);
  // Front-end hooks: raise the frame; give a traffic window the focus.
  std::function<void()> onRaise;
  std::function<void(WindowId)> onFocusWindow;
  // Fonts, colours, layout or scroll bars changed; the help topic of the
  // focused control ("" for none).
  std::function<void()> onAppearanceChanged;
  std::function<std::string()> helpTopic;
  // Plays the speech queue to its end before returning (set by the sound player).
  std::function<void()> playSpeechNow;
  // The transmitter was keyed (true) or released.
  std::function<void(bool keyed)> onPttChanged;
  // Set to end the program: the front end quits its event loop.
  std::function<void()> onQuit;

  // Current UTC: local time plus the configured offset.
  DateTime UtcNow() const;

  void LoadSettings();
  void SaveSettings();
  void SavePositions();
  // After the settings were written: timers that follow them restart.
  EventList<> settingsSaved;

  // Starts a helper program of the data folder (name as the program knows it,
  // "MAILBELL\\MAILBELL.EXE"); false when it is missing or would not start.
  bool StartHelper(const std::string& name, const std::vector<std::string>& args,
                   WindowStyle style = WindowStyle::Normal);
  void OpenDialog(DialogKind kind);

 protected:
  void ApplyOptionsFromSettings();
  void ToggleOption(bool AppOptions::*option, const char* menuId);

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
  MenuTable menu_;

 private:
  class TitlePublisher;
  std::unique_ptr<TitlePublisher> titlePublisher_;
  std::unique_ptr<Timer> timerFlash_;
  bool inFront_ = true;
  // The configuration file exists but could not be read: it is never written over.
  bool configUnreadable_ = false;
};

}  // namespace qn
