#include "headless/console_front_end.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "app/app.h"
#include "core/personal_info.h"
#include "core/site_list.h"
#include "core/text.h"
#include "headless/console_dialogs.h"
#include "lookups/lookups.h"
#include "session/capture_rules.h"
#include "session/macros_rules.h"

namespace qn {

namespace {

constexpr int kPartialLineMs = 200;
// A partial line this long is printed at once and forgotten, so a node that
// never ends its line cannot make us hold it.
constexpr std::size_t kMaxPartialLine = 8192;

const char* KindOf(WindowId id) {
  switch (id) {
    case WindowId::Terminal:
      return "rx";
    case WindowId::Spots:
      return "spot";
    case WindowId::Announcements:
      return "ann";
    case WindowId::Talks:
      return "talk";
    case WindowId::TypedInput:
      return "tx";
  }
  return "rx";
}

std::optional<MsgResult> ParseButton(const std::string& answer, MsgButtons buttons) {
  std::string a = UCase(Trim(answer));
  auto allowed = [&](MsgResult r) {
    switch (buttons) {
      case MsgButtons::Ok:
        return r == MsgResult::Ok;
      case MsgButtons::OkCancel:
        return r == MsgResult::Ok || r == MsgResult::Cancel;
      case MsgButtons::YesNo:
        return r == MsgResult::Yes || r == MsgResult::No;
      case MsgButtons::YesNoCancel:
        return r != MsgResult::Ok;
    }
    return false;
  };
  std::optional<MsgResult> r;
  if (a == "OK") r = MsgResult::Ok;
  if (a == "CANCEL") r = MsgResult::Cancel;
  if (a == "YES") r = MsgResult::Yes;
  if (a == "NO") r = MsgResult::No;
  if (r && allowed(*r)) return r;
  return std::nullopt;
}

MsgResult DefaultButton(MsgButtons buttons, int defaultButton) {
  switch (buttons) {
    case MsgButtons::Ok:
      return MsgResult::Ok;
    case MsgButtons::OkCancel:
      return defaultButton == 2 ? MsgResult::Cancel : MsgResult::Ok;
    case MsgButtons::YesNo:
      return defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
    case MsgButtons::YesNoCancel:
      return defaultButton == 3 ? MsgResult::Cancel : defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
  }
  return MsgResult::Ok;
}

}  // namespace

std::string ConsoleEscape(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string r;
  r.reserve(text.size());
  for (unsigned char c : text) {
    if ((c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F)) {
      r += "\\x";
      r += kHex[c >> 4];
      r += kHex[c & 15];
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

// Turns one window's appends into complete lines; an unfinished last line (a
// login prompt) is printed once nothing more came for a moment, and only the
// rest of it when its end arrives.
class ConsoleFrontEnd::WindowPrinter : public TextWindowListener {
 public:
  WindowPrinter(ConsoleFrontEnd& fe, TextWindow& w) : fe_(fe), window_(w), kind_(KindOf(w.Id())) {
    timer_.setSingleShot(true);
    timer_.setInterval(kPartialLineMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { FlushPartial(); });
    window_.AddListener(this);
  }
  ~WindowPrinter() override { window_.RemoveListener(this); }

  void OnAppended(std::string_view text) override {
    // line_ holds only what of the current line is not printed yet.
    std::size_t start = 0;
    for (;;) {
      auto lf = text.find('\n', start);
      if (lf == std::string_view::npos) break;
      line_.append(text.substr(start, lf - start));
      if (!line_.empty() && line_.back() == '\r') line_.pop_back();
      // A partial already printed: only its rest is new, unless there is none.
      if (!continued_ || !line_.empty()) fe_.Print(kind_, line_);
      line_.clear();
      continued_ = false;
      start = lf + 1;
    }
    line_.append(text.substr(start));
    if (line_.size() >= kMaxPartialLine) {
      FlushPartial();
    } else if (!line_.empty()) {
      timer_.start();
    }
  }
  void OnCut(std::size_t) override {}
  void OnReset() override {
    line_.clear();
    continued_ = false;
  }

 private:
  void FlushPartial() {
    // A CR may be the first half of the line end still to come.
    std::size_t n = line_.size();
    if (n > 0 && line_[n - 1] == '\r') --n;
    if (n == 0) return;
    fe_.Print(kind_, std::string_view(line_).substr(0, n));
    line_.erase(0, n);
    continued_ = true;
  }
  ConsoleFrontEnd& fe_;
  TextWindow& window_;
  const char* kind_;
  std::string line_;
  bool continued_ = false;  // part of the current line was printed already
  QTimer timer_;
};

ConsoleFrontEnd::ConsoleFrontEnd(EventLoop& loop, std::FILE* out, int inputFd)
    : loop_(loop), out_(out), inputFd_(inputFd) {
  if (inputFd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(inputFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { ReadInput(); });
  } else {
    inputClosed_ = true;
  }
}

ConsoleFrontEnd::~ConsoleFrontEnd() { Detach(); }

void ConsoleFrontEnd::Attach(App& app) {
  app_ = &app;
  app.Frame().AddListener(this);
  for (int i = 0; i < 5; ++i) {
    printers_[static_cast<std::size_t>(i)] =
        std::make_unique<WindowPrinter>(*this, app.Window(static_cast<WindowId>(i)));
  }
  // A console has no windows to bring to the front; new text always shows.
  app.SetProgramInFront(false);
  // F12 and the like start the typed line; the next input line completes it.
  app.onSetTypedLine = [this](const std::string& text) {
    typedStart_ = text;
    Print("edit", text);
  };
  app.onPttChanged = [this](bool keyed) { Print("ptt", keyed ? "on" : "off"); };
  // Information windows are printed; a console has none to bring forward, so
  // asking again prints the page again.
  if (Lookups* lk = app.Lookup()) {
    lk->showInfo = [this](const InfoPage& page) {
      Print("info", page.caption);
      for (const std::string& line : page.lines) Print("info", line);
    };
    lk->raiseInfo = lk->showInfo;
  }
}

bool ConsoleFrontEnd::Open(const std::string& url) {
  Print("url", url);
  return true;
}

void ConsoleFrontEnd::Detach() {
  if (!app_) return;
  app_->onSetTypedLine = nullptr;
  app_->onPttChanged = nullptr;
  if (Lookups* lk = app_->Lookup()) {
    lk->showInfo = nullptr;
    lk->raiseInfo = nullptr;
  }
  app_->Frame().RemoveListener(this);
  for (auto& p : printers_) p.reset();
  app_ = nullptr;
}

void ConsoleFrontEnd::Print(const std::string& kind, std::string_view text) {
  std::string line = kind + "| " + ConsoleEscape(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
}

void ConsoleFrontEnd::OnFrameChanged(FrameField field) {
  if (!app_) return;
  const FrameState& f = app_->Frame();
  auto report = [&](const char* kind, const std::string& now, std::string& last) {
    if (now == last) return;
    last = now;
    Print(kind, now);
  };
  switch (field) {
    case FrameField::Menu:
    case FrameField::Connected:
      ReleaseHeld();
      break;
    case FrameField::Title:
      report("title", f.Title(), lastTitle_);
      break;
    case FrameField::Status:
      report("status", f.Status(), lastStatus_);
      break;
    case FrameField::Prompt:
      report("prompt", f.Prompt(), lastPrompt_);
      break;
    case FrameField::Host:
      report("host", f.Host(), lastHost_);
      break;
    case FrameField::Rig:
      report("rig", f.Rig(), lastRig_);
      break;
    default:
      break;
  }
}

MsgResult ConsoleFrontEnd::MessageBox(const std::string& text, MsgIcon, MsgButtons buttons, int defaultButton,
                                      const std::string&) {
  Print("message", text);
  if (!answers_.empty()) {
    std::string a = answers_.front();
    answers_.pop_front();
    if (auto r = ParseButton(a, buttons)) return *r;
  }
  return DefaultButton(buttons, defaultButton);
}

std::optional<std::string> ConsoleFrontEnd::NextAnswer() {
  if (quitAsked_) return std::nullopt;
  if (!answers_.empty()) {
    std::string a = answers_.front();
    answers_.pop_front();
    return a;
  }
  // As a terminal program would: the next input line is the answer.
  ++waiting_;
  loop_.WaitUntil(24 * 3600 * 1000, [this] { return !incoming_.empty() || inputClosed_; });
  --waiting_;
  if (incoming_.empty()) return std::nullopt;
  // Lines typed after the answer would otherwise wait for the next input.
  if (incoming_.size() > 1 || Trim(incoming_.front()) == "::quit") loop_.Post([this] { HandleIncoming(); });
  if (Trim(incoming_.front()) == "::quit") {
    // Left in the input: it closes the program once the question is cancelled.
    quitAsked_ = true;
    return std::nullopt;
  }
  std::string a = incoming_.front();
  incoming_.pop_front();
  if (StartsWith(a, "::answer")) a = a.size() > 9 ? a.substr(9) : "";
  return a;
}

std::optional<std::string> ConsoleFrontEnd::InputBox(const std::string& prompt, const std::string&,
                                                     const std::string&) {
  Print("input", prompt);
  return NextAnswer();
}

void ConsoleFrontEnd::Open(DialogKind kind) {
  if (!app_) return;
  switch (kind) {
    case DialogKind::PersonalInfo: {
      PersonalInfoFields fields = PersonalInfoLoad(app_->Settings());
      auto ask = [&](const char* label, std::string& value) {
        auto a = InputBox(label, "Quillnet: Personal Info", value);
        if (!a) return false;
        value = *a;
        return true;
      };
      if (ask("Your Callsign", fields.callsign) && ask("Your Locator", fields.locator) &&
          ask("UTC - Local", fields.utcOffset)) {
        PersonalInfoSave(*app_, fields);
      }
      break;
    }
    case DialogKind::Capture: {
      // The dialog stays open until OK succeeds or it is cancelled.
      for (int tries = 0; tries < 100; ++tries) {
        auto name = InputBox("Capture file name", "Capture File", "");
        if (!name) return;
        auto spots = InputBox("Save DX spots only (Y/N)", "Capture File", "N");
        if (!spots) return;
        std::filesystem::path p(*name);
        CaptureFields fields;
        fields.folder = p.is_absolute() ? p.parent_path().string() : app_->Folder().Root().string();
        fields.fileName = p.is_absolute() ? p.filename().string() : *name;
        fields.spotsOnly = !spots->empty() && (UCase(*spots)[0] == 'Y');
        if (CaptureDialogOk(*app_, fields)) return;
      }
      break;
    }
    case DialogKind::Macros: {
      MacroFields fields = MacrosDialogLoad(app_->Settings());
      for (int i = 0; i < 10; ++i) {
        auto& text = fields.texts[static_cast<std::size_t>(i)];
        auto a = InputBox(StripAmpersand(MacroLabel(i)), kMacrosCaption, text);
        if (!a) return;
        if (!a->empty()) text = *a;
      }
      MacrosDialogSave(*app_, fields);
      break;
    }
    case DialogKind::SiteList: {
      SiteList* sites = app_->Sites();
      if (!sites) return;
      std::string names;
      for (const std::string& n : sites->Names()) names += (names.empty() ? "" : ", ") + Trim(n);
      // A name from the list connects; an empty answer or the end of input cancels.
      for (int tries = 0; tries < 100; ++tries) {
        auto a = InputBox(std::string(SiteList::kCaption) + ": " + (names.empty() ? "(no sites)" : names),
                          SiteList::kCaption, sites->SelectedName());
        if (!a || Trim(*a).empty()) break;
        if (sites->SelectSite(Trim(*a)) && sites->Ok()) return;
        Print("message", "No site named " + Trim(*a));
      }
      sites->Cancel();
      break;
    }
    case DialogKind::Alerts:
      console::AlertsDialog(*app_, *this);
      break;
    case DialogKind::Filters:
      console::FilterDialog(*app_, *this);
      break;
    case DialogKind::TalkFunctions:
      console::TalkDialog(*app_, *this);
      break;
    case DialogKind::SoundEffects:
      console::SoundDialog(*app_, *this);
      break;
    case DialogKind::VoiceBroadcaster:
      console::VoiceDialog(*app_, *this);
      break;
    case DialogKind::Colours:
      console::ColoursDialog(*app_, *this);
      break;
    case DialogKind::RigControl:
      console::RigDialog(*app_, *this);
      break;
    case DialogKind::Fonts:
      console::FontsDialog(*app_, *this);
      break;
    case DialogKind::Links:
      console::LinksDialog(*app_, *this);
      break;
    case DialogKind::WebCluster:
      console::WebClusterDialog(*app_, *this);
      break;
    case DialogKind::AuxComm:
      console::AuxCommDialog(*app_, *this);
      break;
    case DialogKind::TncParameters:
      console::TncParametersDialog(*app_, *this);
      break;
  }
}

void ConsoleFrontEnd::ReadInput() {
  char buf[4096];
  ssize_t n = ::read(inputFd_, buf, sizeof buf);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    if (!inputBuffer_.empty()) incoming_.push_back(Utf8ToLatin1(inputBuffer_));
    inputBuffer_.clear();
    inputClosed_ = true;
    notifier_.reset();
  } else {
    inputBuffer_.append(buf, static_cast<std::size_t>(n));
    std::size_t lf;
    while ((lf = inputBuffer_.find('\n')) != std::string::npos) {
      std::string line = inputBuffer_.substr(0, lf);
      inputBuffer_.erase(0, lf + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      incoming_.push_back(Utf8ToLatin1(line));
    }
  }
  HandleIncoming();
}

void ConsoleFrontEnd::HandleIncoming() {
  // A line handled further up the stack may be waiting for an answer; it takes
  // its answer from incoming_ itself.
  if (handling_ || waiting_ > 0) return;
  handling_ = true;
  while (!incoming_.empty() && waiting_ == 0) {
    std::string line = incoming_.front();
    incoming_.pop_front();
    HandleLine(line);
  }
  handling_ = false;
}

void ConsoleFrontEnd::RunMenu(const std::string& path) {
  const MenuAction* found =
      app_->Menu().Find(path, [this](const MenuAction& m) { return app_->Frame().Item(m.id).caption; });
  // A copy: the handler may add rows to the table.
  const std::optional<MenuAction> action = found ? std::optional<MenuAction>(*found) : std::nullopt;
  if (!app_->RunMenu(path)) {
    Print("error", "unknown menu command " + path);
    return;
  }
  // A toggle says where it stands now, as the window's check mark would.
  if (action && action->toggle) {
    Print("menu", StripAmpersand(action->menu) + "/" + StripAmpersand(action->caption) + ": " +
                      (app_->Frame().Item(action->id).checked ? "on" : "off"));
  }
}

void ConsoleFrontEnd::HandleLine(const std::string& line) {
  if (StartsWith(line, "::answer")) {
    answers_.push_back(line.size() > 9 ? line.substr(9) : "");
    return;
  }
  if (!app_) return;
  if (StartsWith(line, "::key ")) {
    if (!app_->PressKey(Trim(line.substr(6)))) Print("error", "unknown key " + Trim(line.substr(6)));
  } else if (StartsWith(line, "::menu ")) {
    RunMenu(Trim(line.substr(7)));
  } else if (Trim(line) == "::quit") {
    app_->Close();
  } else if (StartsWith(line, "::")) {
    Print("error", "unknown command " + line);
  } else if (HoldTyping()) {
    held_.push_back(line);
  } else {
    std::string typed = typedStart_ + line;
    typedStart_.clear();
    app_->TypeLine(typed);
  }
}

bool ConsoleFrontEnd::HoldTyping() const {
  // The window's input box is disabled then; a console cannot refuse a line,
  // so it keeps it for the prompt.
  return app_ && app_->Frame().Connected() && !app_->Frame().Item("Textsend").enabled;
}

void ConsoleFrontEnd::ReleaseHeld() {
  if (held_.empty() || !app_) return;
  if (!app_->Frame().Connected()) {
    held_.clear();  // the connection ended before its prompt
    return;
  }
  if (HoldTyping()) return;
  std::deque<std::string> lines;
  lines.swap(held_);
  for (const std::string& line : lines) HandleLine(line);
}

}  // namespace qn
