#include "serial/tnc_dialogue.h"

#include <cctype>
#include <filesystem>

#include "core/text.h"

namespace qn {

namespace {

constexpr char kEsc = 0x1b;

}  // namespace

TncDialogue::TncDialogue(AuxPort& aux, EventLoop& loop, Clock& clock, Prompter& prompter)
    : aux_(aux), loop_(loop), clock_(clock), prompter_(prompter) {}

void TncDialogue::Pause(int ms) {
  loop_.WaitUntil(ms, [] { return false; });
}

void TncDialogue::SendTncControl(int code) {
  const bool tapr = mode_ == TncMode::Tapr;
  switch (code) {
    case 1:
      Send(tapr ? std::string_view("\x03\r") : std::string_view("\x11\x18\x1b\r"));
      break;
    case 2:
      Pause(kPauseMs);
      Send(tapr ? std::string_view("\x03\x03\x03") : std::string_view("\x1b"));
      Pause(kPauseMs);
      break;
    case 3:
      if (aux_.PortOpen()) aux_.Port()->SetBreak(true);
      Pause(kPauseMs);
      if (aux_.PortOpen()) aux_.Port()->SetBreak(false);
      break;
    case 4:
      Send(tapr ? std::string_view("\x01OHON\x17") : std::string_view("\x1b"));
      break;
    case 5:
      Send(tapr ? std::string_view("RESTART\r") : std::string_view("\x11"));
      Pause(kPauseMs);
      break;
    case 6:
      Send("*");
      Pause(kPauseMs);
      break;
    default:
      break;
  }
}

std::string TncDialogue::ReadTncReply() {
  SerialPort* port = aux_.Port();
  if (!port || !aux_.PortOpen()) return {};
  std::int64_t start = clock_.TickMs();
  int window = kReplyWindowMs;
  std::size_t seen = port->InBufferCount();
  const bool noHandshake = aux_.Handshake() == 0;
  for (;;) {
    const std::int64_t now = clock_.TickMs();
    if (now < start) break;
    const std::int64_t left = start + window - now;
    if (left <= 0) break;
    loop_.WaitUntil(static_cast<int>(left), [&] {
      return !aux_.PortOpen() || port->InBufferCount() != seen ||
             (noHandshake && port->InBufferCount() >= port->InBufferSize());
    });
    if (!aux_.PortOpen()) return {};
    const std::size_t count = port->InBufferCount();
    if (noHandshake && count >= port->InBufferSize()) {
      // Nobody holds the TNC back: what filled the buffer is lost, the rest is read.
      port->DiscardInput();
      seen = 0;
      start = clock_.TickMs();
      window = kMoreWindowMs;
    } else if (count > seen) {
      seen = count;
      start = clock_.TickMs();
      window = kMoreWindowMs;
    } else {
      seen = count;
    }
  }
  if (port->InBufferCount() == 0) return {};
  return NormaliseTncReply(port->ReadAll());
}

std::string NormaliseTncReply(std::string_view raw) {
  std::string out, line;
  for (char c : raw) {
    if (c == '\r' || c == '\n') {
      if (!line.empty()) out += line + "\r\n";
      line.clear();
    } else {
      line += c;
    }
  }
  return out + line;
}

std::string TncDialogue::WakeTnc(const std::string& initPath, const DataFolder& folder) {
  std::string path = Trim(initPath);
  if (!path.empty()) {
    std::optional<std::filesystem::path> file;
    if (path[0] == '/') {
      file = std::filesystem::path(path);
    } else {
      file = folder.Resolve(path);
    }
    std::error_code ec;
    if (file && std::filesystem::is_regular_file(*file, ec)) {
      auto size = std::filesystem::file_size(*file, ec);
      auto text = ec ? std::nullopt : ReadFile(*file);
      if (!text) {
        if (setStatus) setStatus("The TNC initialisation file " + path + " could not be read");
      } else if (size > kMaxInitFile || text->find('\0') != std::string::npos) {
        if (setStatus)
          setStatus("The TNC initialisation file " + path + " is not sent: it is " +
                    (size > kMaxInitFile ? "larger than 64 KB" : "not a text file"));
      } else {
        RunInitText(*text);
      }
    }
  }
  AuxPortState& st = aux_.State();
  for (int code = 1; code <= 6 && aux_.PortOpen(); ++code) {
    aux_.Port()->DiscardInput();
    st.tncDialogue = true;
    SendTncControl(code);
    std::string reply = ReadTncReply();
    st.tncDialogue = false;
    if (!reply.empty()) {
      aux_.ResumeReceive();
      return reply;
    }
  }
  aux_.ResumeReceive();
  return {};
}

void TncDialogue::RunInitText(std::string_view text) {
  AuxPortState& st = aux_.State();
  if (setStatus) setStatus(kInitStatus);
  st.tncDialogue = true;
  st.initRunning = true;
  for (const std::string& raw : SplitLines(text)) {
    if (!st.initRunning || !aux_.PortOpen()) break;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '\'') continue;
    SendTncInitLine(line);
    if (!st.initRunning) break;
    std::string reply = ReadTncReply();
    if (!reply.empty() && showReply) showReply(reply);
  }
  st.tncDialogue = false;
  st.initRunning = false;
  if (setStatus) setStatus("");
}

void TncDialogue::SendTncInitLine(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (!aux_.PortOpen()) return;
    const char c = line[i];
    const bool hasNext = i + 1 < line.size();
    if (c == '^') {
      // A "^" at the end of the line stands for nothing; its CR still goes.
      if (!hasNext) break;
      const unsigned char x = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(line[++i])));
      if (x == '<')
        Send(std::string(1, kEsc));
      else if (x == '^')
        Send(std::string(1, '\0'));
      else if (x >= 64)
        Send(std::string(1, static_cast<char>(x - 64)));
    } else if (c == '+') {
      Pause(kPlusPauseMs);
    } else if ((c == '/' || c == '\\') && hasNext && (line[i + 1] == '+' || line[i + 1] == '^')) {
      Send(std::string(1, line[++i]));
    } else {
      Send(std::string(1, c));
    }
  }
  Send("\r");
}

void TncDialogue::DisconnectTnc() {
  AuxPortState& st = aux_.State();
  if (!aux_.PortOpen()) return;
  const bool was = st.tncDialogue;
  st.tncDialogue = true;
  if (mode_ == TncMode::Wa8ded) {
    Send(
        "\x1b"
        "D\r");
    ReadTncReply();
    ReadTncReply();
    Send(
        "\x1b"
        "D\r");
    ReadTncReply();
  } else {
    Send("\x03\r");
    ReadTncReply();
    Send("D\r");
    ReadTncReply();
    Send("D\r");
    ReadTncReply();
  }
  st.tncDialogue = was;
  if (!was) aux_.ResumeReceive();
}

std::string TncDialogue::ModeCaption() const {
  if (mode_ == TncMode::Wa8ded) return kDedEscCaption;
  return converse_ ? kTaprCommandCaption : kTaprConverseCaption;
}

void TncDialogue::ToggleCommandMode() {
  if (mode_ == TncMode::Wa8ded) {
    if (aux_.PortOpen()) Send("\x1b");
    return;
  }
  converse_ = !converse_;
  if (!aux_.PortOpen()) return;
  Send(converse_ ? std::string_view("CONV\r") : std::string_view("\x03"));
}

bool TncDialogue::OfferToStop() {
  AuxPortState& st = aux_.State();
  if (!st.initRunning) return false;
  if (prompter_.MessageBox(kStopQuestion, MsgIcon::Question, MsgButtons::YesNo, 2) == MsgResult::Yes) {
    st.tncDialogue = false;
    st.initRunning = false;
  }
  return true;
}

TncNotice ParseTncConnectNotice(std::string_view line, std::string_view caption) {
  TncNotice notice;
  std::string lower = LCase(line);
  std::size_t at = lower.find("reconnected to ");
  std::size_t phraseLen = 15;
  bool reconnected = at != std::string::npos;
  if (!reconnected) {
    at = lower.find("connected to ");
    phraseLen = 13;
  }
  if (at == std::string::npos) return notice;
  // What stands before the phrase, blanks ignored.
  std::string before = std::string(line.substr(0, at));
  std::string squeezed;
  for (char c : before)
    if (c != ' ') squeezed += c;
  bool marked =
      !squeezed.empty() && (squeezed.back() == '>' || squeezed.back() == '}' || squeezed.back() == '*');
  if (!marked) {
    // The node named in the caption already: "GB7XX-1 connected to GB7YY".
    auto open = caption.find('>');
    std::string shownNode = open == std::string::npos ? std::string() : Trim(caption.substr(open + 1));
    if (!shownNode.empty() && shownNode.back() == ']') shownNode.pop_back();
    shownNode = Trim(shownNode);
    marked = !shownNode.empty() && LCase(before).find(LCase(shownNode)) != std::string::npos;
  }
  if (!marked) return notice;
  // The line's end is not part of the name; a line that came without it
  // loses nothing.
  std::string name = TrimSpaceAndControls(line.substr(at + phraseLen));
  if (name.empty()) return notice;
  notice.node = name;
  notice.reconnected = reconnected;
  return notice;
}

std::string TncNoticeCaption(std::string_view caption, std::string_view node) {
  std::string cut(caption);
  if (auto close = cut.find(']'); close != std::string::npos) cut.erase(close + 1);
  return cut + ">" + std::string(node);
}

}  // namespace qn
