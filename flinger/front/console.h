// flinger --headless: the terminal box and the program's messages as lines on
// stdout, typed lines and "::" commands on stdin (as quillnet's console does).
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>

#include "qt/flinger_app.h"

namespace fl {

class Console : public QObject {
  Q_OBJECT

 public:
  Console(FlingerApp& app, std::FILE* out, int inFd);
  ~Console() override;
  void Print(const std::string& kind, const std::string& text);
  std::function<void()> onQuit;

 private:
  void ReadInput();
  void TakeLine(const std::string& line);
  void Set(const std::string& rest);
  void Press(const std::string& button);
  void Answer(const std::string& text);

  FlingerApp& app_;
  std::FILE* out_;
  int in_;
  QSocketNotifier notifier_;
  std::string partial_;
  std::deque<std::string> answers_;
  bool asking_ = false;
};

}  // namespace fl
