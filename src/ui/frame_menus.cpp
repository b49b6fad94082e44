#include "ui/frame_menus.h"

#include <QAction>
#include <QMenu>

#include "app/app.h"
#include "platform/qt/latin1.h"

namespace qn {

FrameMenus::FrameMenus(App& app, QMenuBar& bar) : app_(app), bar_(bar) { Build(); }

void FrameMenus::RebuildIfChanged() {
  if (app_.Menu().Actions().size() != built_) Build();
}

void FrameMenus::Clear() {
  // This can come from inside an item's own handler: the old menus go once
  // that handler has returned.
  for (QMenu* old : menus_) {
    for (QAction* a : old->actions()) a->disconnect();
    old->deleteLater();
  }
  menus_.clear();
  bar_.clear();
  actions_.clear();
  captions_.clear();
}

void FrameMenus::Build() {
  Clear();
  const auto& table = app_.Menu().Actions();
  built_ = table.size();
  for (const std::string& top : MenuTable::TopLevel()) {
    QMenu* menu = bar_.addMenu(ToQString(top));
    menu->setObjectName(ToQString("mnu" + StripAmpersand(top)));
    menus_.push_back(menu);
    for (const MenuAction& a : table) {
      if (a.menu != top) continue;
      if (a.caption == "-") {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(ToQString(a.caption));
      action->setObjectName(ToQString(a.id));
      action->setCheckable(a.toggle);
      if (!a.shortcut.empty()) action->setShortcut(QKeySequence(ToQString(a.shortcut)));
      std::string id = a.id;
      auto run = a.run;
      QObject::connect(action, &QAction::triggered, [this, id, run] {
        if (run && app_.Frame().Item(id).enabled) run();
        // A handler may decline (a warning answered No): the check mark must
        // show the state, not the click.
        RefreshItem(id);
      });
      actions_[a.id] = action;
      captions_[a.id] = a.caption;
    }
  }
  Refresh();
}

void FrameMenus::Refresh() {
  for (const auto& [id, action] : actions_) RefreshItem(id);
}

void FrameMenus::RefreshItem(const std::string& id) {
  auto it = actions_.find(id);
  if (it == actions_.end()) return;
  QAction* action = it->second;
  const MenuItemState& s = app_.Frame().Item(id);
  action->setText(ToQString(s.caption.empty() ? captions_[id] : s.caption));
  action->setEnabled(s.enabled);
  if (action->isCheckable()) action->setChecked(s.checked);
}

QAction* FrameMenus::Action(const std::string& id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

}  // namespace qn
