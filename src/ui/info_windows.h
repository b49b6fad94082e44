// The program's own information windows (Prefix, Locator and Iota Info when
// no information helper is installed): small MDI children of the frame titled
// by their caption. Fills the lookups' show and raise hooks and tells them
// when a window is closed.
#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QObject>
#include <QPointer>
#include <map>
#include <string>

namespace qn {

class App;
struct InfoPage;

class InfoWindows : public QObject {
  Q_OBJECT
 public:
  InfoWindows(App& app, QMdiArea& area);
  ~InfoWindows() override;
  void Detach();
  QMdiSubWindow* Window(const std::string& caption) const;
  std::size_t Count() const { return windows_.size(); }

 private:
  void Show(const InfoPage& page);
  void Raise(const InfoPage& page);

  App* app_;
  QMdiArea& area_;
  std::map<std::string, QPointer<QMdiSubWindow>> windows_;
};

}  // namespace qn
