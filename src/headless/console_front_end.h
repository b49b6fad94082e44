// The console front end: prints the windows, frame texts and questions of one
// App to stdout, one line per event, and reads typed lines and ::commands from
// stdin. The protocol is written down in docs/console.md.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "core/frame_state.h"
#include "core/text_window.h"
#include "platform/dialog_host.h"
#include "platform/event_loop.h"
#include "platform/prompter.h"
#include "platform/url_opener.h"

namespace qn {

class App;

// Escapes control characters other than TAB, and the 8-bit control codes
// 0x80 to 0x9F, as \xNN; other 8-bit text stays Latin-1.
std::string ConsoleEscape(std::string_view text);

class ConsoleFrontEnd : public QObject,
                        public Prompter,
                        public DialogHost,
                        public FrameListener,
                        public UrlOpener {
  Q_OBJECT
 public:
  // out is usually stdout; inputFd usually 0.
  ConsoleFrontEnd(EventLoop& loop, std::FILE* out, int inputFd);
  ~ConsoleFrontEnd() override;

  // Starts printing the App's windows and frame; done before StartUp so that
  // the start-up texts and questions are seen.
  void Attach(App& app);
  void Detach();

  MsgResult MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons, int defaultButton,
                       const std::string& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  bool CanAsk() const override { return !quitAsked_ && (!inputClosed_ || !answers_.empty()); }

  void Open(DialogKind kind) override;
  // Addresses the program would open in a browser are printed as url| lines.
  bool Open(const std::string& url) override;
  void OnFrameChanged(FrameField field) override;

  // One input line, as read from stdin.
  void HandleIncoming();
  void HandleLine(const std::string& line);
  // ::menu Menu/Item; a toggle prints its new state.
  void RunMenu(const std::string& path);
  void Print(const std::string& kind, std::string_view text);

 private:
  class WindowPrinter;
  void ReadInput();
  // Typed lines wait while the session waits for the node's first prompt.
  bool HoldTyping() const;
  void ReleaseHeld();
  std::optional<std::string> NextAnswer();

  EventLoop& loop_;
  std::FILE* out_;
  int inputFd_;
  App* app_ = nullptr;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::string inputBuffer_;
  bool inputClosed_ = false;
  // "::quit" came while a question waited: no more questions, then close.
  bool quitAsked_ = false;
  std::deque<std::string> answers_;
  std::deque<std::string> incoming_;  // read, not yet handled
  bool handling_ = false;
  int waiting_ = 0;  // questions waiting for an input line
  std::array<std::unique_ptr<WindowPrinter>, 5> printers_;
  std::string lastTitle_, lastStatus_, lastPrompt_, lastHost_, lastRig_;
  std::string typedStart_;  // the typed line begun by a key (F12)
  std::deque<std::string> held_;
};

}  // namespace qn
