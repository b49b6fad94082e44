// The frame's menu bar, built from the App's one table of menu commands:
// captions and shortcuts from the table, check marks, enables and changed
// captions from FrameState. Triggering an item runs the table's handler.
#pragma once

#include <QMenuBar>
#include <map>
#include <string>
#include <vector>

namespace qn {

class App;

class FrameMenus {
 public:
  FrameMenus(App& app, QMenuBar& bar);

  // Builds the bar again when commands were added to the table since.
  void RebuildIfChanged();
  // Applies FrameState's checks, enables and captions to every item.
  void Refresh();
  QAction* Action(const std::string& id) const;
  // Empties the bar; no item can reach the App afterwards.
  void Clear();

 private:
  void Build();
  void RefreshItem(const std::string& id);

  App& app_;
  QMenuBar& bar_;
  std::size_t built_ = 0;
  std::vector<QMenu*> menus_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, std::string> captions_;  // the table's caption by id
};

}  // namespace qn
