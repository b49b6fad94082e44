#include "console.h"

#include <unistd.h>

#include "core/settings.h"

namespace fl {

namespace {

constexpr std::size_t kMaxInputLine = 64 * 1024;

std::string Escape(const std::string& text) {
  std::string out;
  static const char* hex = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (c < 32 && c != '\t') {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool YesValue(const std::string& v) { return v == "1" || StartsWithNoCase(v, "y") || EqualNoCase(v, "on"); }

}  // namespace

Console::Console(FlingerApp& app, std::FILE* out, int inFd)
    : app_(app), out_(out), in_(inFd), notifier_(inFd, QSocketNotifier::Read) {
  app_.Term().SetListener({nullptr, [this](const std::string& text) {
                             std::size_t start = 0;
                             while (start < text.size()) {
                               std::size_t end = text.find("\r\n", start);
                               if (end == std::string::npos) end = text.size();
                               Print("rx", text.substr(start, end - start));
                               start = end + 2;
                             }
                           }});
  app_.onMessage = [this](const std::string& m) { Print("message", m); };
  app_.onAddress = [this](const std::string& a) { Print("ip", a); };
  app_.onSent = [this](const std::string& d) {
    std::string line = d;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    Print("tx", line);
  };
  connect(&notifier_, &QSocketNotifier::activated, this, [this] { ReadInput(); });
}

Console::~Console() { app_.Term().SetListener({}); }

void Console::Print(const std::string& kind, const std::string& text) {
  std::fprintf(out_, "%s| %s\n", kind.c_str(), Escape(text).c_str());
  std::fflush(out_);
}

void Console::ReadInput() {
  char buf[4096];
  ssize_t n = ::read(in_, buf, sizeof buf);
  if (n <= 0) {
    // End of input: a waiting question is cancelled; the program runs on.
    notifier_.setEnabled(false);
    if (asking_) {
      asking_ = false;
      app_.SwitchFileExchange(true, "");
    }
    return;
  }
  partial_.append(buf, static_cast<std::size_t>(n));
  std::size_t nl;
  while ((nl = partial_.find('\n')) != std::string::npos) {
    std::string line = partial_.substr(0, nl);
    partial_.erase(0, nl + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    TakeLine(line);
  }
  if (partial_.size() > kMaxInputLine) partial_.clear();
}

void Console::TakeLine(const std::string& line) {
  if (line == "::quit") {
    if (onQuit) onQuit();
    return;
  }
  if (line.rfind("::answer ", 0) == 0 || line == "::answer") {
    std::string text = line.size() > 9 ? line.substr(9) : "";
    if (asking_) {
      Answer(text);
    } else {
      answers_.push_back(text);
    }
    return;
  }
  if (asking_) return Answer(line);
  if (line.rfind("::set ", 0) == 0) return Set(Trim(line.substr(6)));
  if (line.rfind("::press ", 0) == 0) return Press(Trim(line.substr(8)));
  if (line.rfind("::", 0) == 0) return Print("error", "unknown command " + line);
  app_.Engine().SendTyped(line);
}

void Console::Set(const std::string& rest) {
  static const char* names[] = {"Send to",      "Header",    "Local Port",      "Remote Port",
                                "Bind address", "Broadcast", "CT net protocol", "File exchange"};
  for (const char* name : names) {
    std::string n(name);
    if (!StartsWithNoCase(rest, n)) continue;
    std::string value = Trim(rest.substr(n.size()));
    if (!value.empty() && value[0] == ':') value = Trim(value.substr(1));
    Controls& c = app_.Boxes();
    if (n == "Send to") c.host = value;
    if (n == "Header") c.header = value;
    if (n == "Local Port") app_.Ports().local = value;
    if (n == "Remote Port") app_.Ports().remote = value;
    if (n == "Bind address") app_.Ports().bind = value;
    if (n == "Broadcast") c.broadcast = YesValue(value);
    if (n == "CT net protocol") c.ctNet = YesValue(value);
    if (n == "File exchange") {
      if (!YesValue(value)) return app_.SwitchFileExchange(false);
      if (!answers_.empty()) {
        std::string answer = answers_.front();
        answers_.pop_front();
        return app_.SwitchFileExchange(true, answer);
      }
      asking_ = true;
      Print("input", std::string(kUserFilePrompt) + " [" + app_.UserFile() + "]");
    }
    return;
  }
  Print("error", "no such box: " + rest);
}

// An empty answer keeps the box's default, as Enter on an input box does.
void Console::Answer(const std::string& text) {
  asking_ = false;
  app_.SwitchFileExchange(true, text.empty() ? app_.UserFile() : text);
}

void Console::Press(const std::string& button) {
  if (EqualNoCase(button, "Send test spot")) return app_.Engine().SendTestSpot();
  if (EqualNoCase(button, "Apply")) return app_.Apply();
  if (EqualNoCase(button, "Close")) {
    if (onQuit) onQuit();
    return;
  }
  if (EqualNoCase(button, "Help")) {
    std::string help = app_.HelpText();
    std::size_t start = 0;
    while (start < help.size()) {
      std::size_t end = help.find('\n', start);
      if (end == std::string::npos) end = help.size();
      std::string line = help.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Print("help", line);
      start = end + 1;
    }
    return;
  }
  Print("error", "no such button: " + button);
}

}  // namespace fl
