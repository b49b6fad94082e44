#include "serial/aux_port.h"

#include "core/app_settings.h"
#include "core/text.h"

namespace qn {

namespace {

// Highlight codes some nodes put into their lines.
void RemoveEscapeCodes(std::string& line) {
  for (const char* code : {"\x1b[0m", "\x1b[7m"}) {
    if (auto at = line.find(code); at != std::string::npos) line.erase(at, 4);
  }
}

}  // namespace

std::string ToTncLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\n') {
      out += c;
      continue;
    }
    if (i == 0) continue;
    if (!out.empty() && out.back() == '\r' && text[i - 1] == '\r') continue;
    out += '\r';
  }
  return out;
}

AuxPort::AuxPort(SerialPort* port, EventLoop& loop) : port_(port), loop_(loop) {
  if (port_) port_->SetListener(this);
}

AuxPort::~AuxPort() {
  if (port_) {
    port_->SetListener(nullptr);
    port_->Close();
  }
}

void AuxPort::Configure(const AppSettings& settings, int copyNumber,
                        const std::map<int, std::string>& serialMap, bool tncSession) {
  tncSession_ = tncSession;
  state_ = AuxPortState{};
  entry_ = ResolveAuxPort(UCase(settings.auxPortList), copyNumber, UCase(Trim(settings.auxPortSettings)));
  state_.auxActive = settings.auxEnabled && entry_.port > 0;
  state_.effectiveInputOnly = entry_.inputOnly || settings.auxInputOnly;
  state_.quietTnc = entry_.quietTnc;
  state_.logPortActive = copyNumber == 1 && settings.useLogPort && state_.auxActive;
  if (state_.logPortActive) state_.effectiveInputOnly = false;
  escape_ = UCase(Trim(settings.auxEscapeString));
  handshake_ = settings.auxHandshake & 3;
  serialSettings_ = ParseSerialSettings(entry_.settings, &settingsOk_);
  device_ = DeviceForPort(serialMap, entry_.port);
}

bool AuxPort::Open() {
  openError_.clear();
  if (!state_.auxActive) {
    openError_ = "the aux port is not enabled, or has no port number for this copy";
    return false;
  }
  if (state_.logPortActive) {
    openError_ = "log-port mode is not available on Linux";
    return false;
  }
  if (!port_) {
    openError_ = "this build has no serial port support";
    return false;
  }
  if (port_->IsOpen()) return true;
  SerialFault fault = SerialFault::None;
  std::string description;
  if (!port_->Open(device_, serialSettings_, handshake_, fault, description)) {
    openError_ = description.empty() ? device_ + " could not be opened" : description;
    return false;
  }
  stalled_ = false;
  return true;
}

void AuxPort::Close() {
  if (port_) port_->Close();
}

void AuxPort::SendToAuxPort(std::string_view text) {
  std::string out = encipherSent ? encipherSent(text) : std::string(text);
  if (!port_ || !port_->IsOpen()) return;
  if (port_->OutBufferCount() + sendQueue_.size() > kMaxPending) return;
  sendQueue_ += out;
  // A send that is already waiting takes this text after its own.
  if (sending_) return;
  sending_ = true;
  const std::size_t before = port_->OutBufferCount();
  if (before > 0 && !stalled_) {
    bool drained =
        loop_.WaitUntil(kDrainWaitMs, [this] { return !port_->IsOpen() || port_->OutBufferCount() == 0; });
    stalled_ = !drained;
  } else if (stalled_ && before == 0) {
    stalled_ = false;
  }
  std::string queued;
  queued.swap(sendQueue_);
  sending_ = false;
  if (port_->IsOpen()) port_->Write(queued);
}

void AuxPort::SendLineToAuxPort(std::string_view text) {
  if (!PortOpen()) return;
  SendToAuxPort(ToTncLineEnds(text));
}

void AuxPort::WriteLogPort(std::string_view) {}

void AuxPort::OnSerialFault(SerialFault, const std::string& description) {
  state_.receiveBusy = false;
  state_.lineBuffer.clear();
  sendQueue_.clear();
  if (onFault) onFault(description);
}

void AuxPort::ResumeReceive() {
  if (resumePosted_) return;
  resumePosted_ = true;
  loop_.Post([this] {
    resumePosted_ = false;
    if (PortOpen() && port_->InBufferCount() > 0) OnAuxReceive();
  });
}

void AuxPort::OnAuxReceive() {
  if (state_.tncDialogue || state_.receiveBusy || !PortOpen()) return;
  state_.receiveBusy = true;
  // Bounded: a device that never stops sending still lets the loop return.
  for (int rounds = 0; rounds < 64 && PortOpen() && port_->InBufferCount() >= 1; ++rounds) {
    if (state_.tncDialogue) break;
    HandleChunk(port_->ReadAll());
  }
  if (!tncSession_) {
    if (scriptWantsPortText && scriptWantsPortText() && scriptMatcher)
      scriptMatcher(state_.scriptText);
    else
      state_.scriptText.clear();
  }
  state_.receiveBusy = false;
  if (PortOpen() && port_->InBufferCount() > 0) ResumeReceive();
}

void AuxPort::HandleChunk(std::string chunk) {
  if (decipherReceived) decipherReceived(chunk);
  if (tncSession_) {
    // The session's receive path does the capture, the script text, the
    // display and the lines.
    if (onSessionData) onSessionData(chunk);
    return;
  }
  if (captureChunk) captureChunk(chunk);
  state_.scriptText += chunk;
  // Never more than a screenful is looked at by the script.
  if (state_.scriptText.size() > 28000) state_.scriptText.erase(0, state_.scriptText.size() - 14000);
  std::string rest = std::move(chunk);
  std::size_t i = 0;
  while (i < rest.size()) {
    char c = rest[i++];
    if (c == '\a' || c == '\b') continue;
    if (c == '\r' || c == '\n') {
      std::string line;
      line.swap(state_.lineBuffer);
      rest.erase(0, i);
      i = 0;
      HandleLine(std::move(line), rest);
      continue;
    }
    state_.lineBuffer += c;
    // A line without end is handed on in pieces no window could show whole.
    if (state_.lineBuffer.size() >= 28000) {
      std::string line;
      line.swap(state_.lineBuffer);
      rest.erase(0, i);
      i = 0;
      HandleLine(std::move(line), rest);
    }
  }
}

void AuxPort::HandleLine(std::string line, std::string& rest) {
  RemoveEscapeCodes(line);
  if (showLine) showLine(line + "\r\n");
  lineReceived.Fire(line);
  std::string upper = UCase(line);
  if (!escape_.empty() && !state_.effectiveInputOnly) {
    if (auto at = upper.find(escape_); at != std::string::npos) {
      std::string command = LCase(Trim(line.substr(at + escape_.size())));
      if (command == "d") {
        if (escapeDisconnect) escapeDisconnect();
      } else if (!command.empty() && escapeConnect) {
        escapeConnect(command);
      }
      return;
    }
  }
  if (robotCommand) {
    std::string reply = robotCommand(line);
    if (!reply.empty()) rest.insert(0, "\n" + reply);
  }
  if (chatNotice) chatNotice(line);
  if (auto pc = line.find("PC11^"); pc != std::string::npos && pc < 7) {
    pc11Line.Fire(line);
    return;
  }
  if (processesTraffic && processesTraffic()) {
    if (classify) classify(line + "\r\n");
    return;
  }
  rfLine.Fire(line);
}

}  // namespace qn
