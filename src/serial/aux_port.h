// The aux comm port of one copy: opening its device, the raw and line sends,
// and the receive handler. In a TNC session the received bytes go on to the
// session's link (the shared receive path); beside a telnet session the port
// assembles its own lines and hands them to the steps below. Talks to a
// SerialPort and, through hooks and event lists, to whoever wants its lines.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "core/event_list.h"
#include "platform/event_loop.h"
#include "platform/serial_port.h"
#include "serial/aux_settings.h"

namespace qn {

struct AppSettings;

// What the port does at run time.
struct AuxPortState {
  bool auxActive = false;           // enabled and a port number for this copy
  bool effectiveInputOnly = false;  // "&Input only" or a "+" entry
  bool quietTnc = false;            // a "-" entry: no "TNC is not responding"
  bool logPortActive = false;       // log-port mode asked for (not available here)
  bool tncDialogue = false;         // a TNC dialogue reads the replies itself
  bool initRunning = false;         // the initialisation file is being sent
  bool receiveBusy = false;         // the receive handler runs
  std::string lineBuffer;           // the unfinished received line
  std::string scriptText;           // received text for the script matcher
};

class AuxPort : public SerialPortListener {
 public:
  // The transmit-drain wait gives up after this.
  static constexpr int kDrainWaitMs = 60000;
  // Past this much unsent output a send is dropped: the device takes nothing.
  static constexpr std::size_t kMaxPending = 1 << 20;

  AuxPort(SerialPort* port, EventLoop& loop);
  ~AuxPort() override;
  AuxPort(const AuxPort&) = delete;
  AuxPort& operator=(const AuxPort&) = delete;

  // Start-up: this copy's entry of the list, the device its number names,
  // the escape string. tncSession: received bytes go to onSessionData.
  void Configure(const AppSettings& settings, int copyNumber, const std::map<int, std::string>& serialMap,
                 bool tncSession);
  // Opens the device when the port is active and not in log-port mode;
  // false with OpenError() set otherwise.
  bool Open();
  void Close();
  bool PortOpen() const { return port_ && port_->IsOpen(); }
  const std::string& OpenError() const { return openError_; }
  const AuxEntry& Entry() const { return entry_; }
  const std::string& Device() const { return device_; }
  int Handshake() const { return handshake_; }
  AuxPortState& State() { return state_; }
  const std::string& EscapeString() const { return escape_; }
  SerialPort* Port() { return port_; }
  // The settings text was read whole (else defaults stand in for parts).
  bool SettingsUnderstood() const { return settingsOk_; }
  const SerialSettings& Settings() const { return serialSettings_; }

  // Writes text as it is, after the previous output has drained (at most
  // kDrainWaitMs, letting events run). Nested calls queue behind it.
  void SendToAuxPort(std::string_view text);
  // Each line end becomes one CR; sent only while the port is open.
  void SendLineToAuxPort(std::string_view text);
  // Log-port mode writes nothing on Linux (see docs/serial.md).
  void WriteLogPort(std::string_view text);

  // The receive handler of the arrival event.
  void OnAuxReceive();
  // After a TNC dialogue: what arrived meanwhile is read now.
  void ResumeReceive();

  // --- Where received data goes ---
  // TNC session: each chunk, as read (the session's link takes it).
  std::function<void(std::string_view chunk)> onSessionData;
  // Link crypto of the port (the bridge fills it in): in place.
  std::function<void(std::string& chunk)> decipherReceived;
  std::function<std::string(std::string_view text)> encipherSent;
  // The raw chunk for the capture file (when it records everything).
  std::function<void(std::string_view chunk)> captureChunk;
  // Beside a telnet session: a completed line shown in the terminal (with CR LF).
  std::function<void(const std::string& shown)> showLine;
  // Escape-string commands: "d", or a host to connect the telnet session to.
  std::function<void()> escapeDisconnect;
  std::function<void(const std::string& host)> escapeConnect;
  // The robot's answer (appended to what is still to be handled) and chat notices.
  std::function<std::string(const std::string& line)> robotCommand;
  std::function<void(const std::string& line)> chatNotice;
  // Whether the port's lines are cluster traffic (input only, bridging from
  // the remote, a web session).
  std::function<bool()> processesTraffic;
  std::function<void(const std::string& line)> classify;
  // The script waits for a text marked as a TNC escape (code 255 first).
  std::function<bool()> scriptWantsPortText;
  std::function<void(std::string& text)> scriptMatcher;
  // A fault of the open port (it is closed already): description for the user.
  std::function<void(const std::string& description)> onFault;

  // Every completed line of a secondary port (escape codes removed, no line end).
  EventList<const std::string&> lineReceived;
  // "PC11^" node-protocol lines, for conversion into spot lines.
  EventList<const std::string&> pc11Line;
  // Lines that are neither traffic nor commands: the RF gateway's.
  EventList<const std::string&> rfLine;

  // SerialPortListener
  void OnSerialArrival() override { OnAuxReceive(); }
  void OnSerialDrained() override {}
  void OnSerialFault(SerialFault fault, const std::string& description) override;

 private:
  void HandleChunk(std::string chunk);
  void HandleLine(std::string line, std::string& rest);

  SerialPort* port_;
  EventLoop& loop_;
  AuxPortState state_;
  AuxEntry entry_;
  SerialSettings serialSettings_;
  std::string device_;
  std::string escape_ = "+++";
  std::string openError_;
  int handshake_ = 0;
  bool tncSession_ = false;
  // Output offered while a send waits for the drain.
  std::string sendQueue_;
  bool sending_ = false;
  // The last drain wait ran out: the device does not take what it is given.
  bool stalled_ = false;
  bool resumePosted_ = false;
  bool settingsOk_ = true;
};

// The text with each CR LF, lone LF (and a leading LF dropped) made one CR.
std::string ToTncLineEnds(std::string_view text);

}  // namespace qn
