// The one table of menu commands: captions, shortcuts and handlers. The Qt
// menu bar and the console's ::menu and ::key are built from it; check marks,
// enables and changed captions come from FrameState by the item's id.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qn {

struct MenuAction {
  std::string id;        // control name, e.g. "mnuexit"
  std::string menu;      // top-level caption, e.g. "&File"
  std::string caption;   // item caption, e.g. "E&xit"; "-" is a separator
  std::string shortcut;  // "Shift+F3", "" for none
  std::function<void()> run;
  int order = 0;        // place within its menu, so items added later land where they belong
  bool toggle = false;  // an option switched on and off: its check mark is its state
};

class MenuTable {
 public:
  // Top-level menus in the order they stand on the menu bar.
  static const std::vector<std::string>& TopLevel();

  void Add(MenuAction action);
  const std::vector<MenuAction>& Actions() const { return actions_; }
  // By "Menu/Item" with or without "&", case-insensitive. An item whose
  // caption changes while running is found by what it shows now.
  const MenuAction* Find(const std::string& path,
                         const std::function<std::string(const MenuAction&)>& shownCaption = {}) const;
  const MenuAction* FindByShortcut(const std::string& key) const;

 private:
  std::vector<MenuAction> actions_;
};

// "E&xit" -> "Exit".
std::string StripAmpersand(const std::string& caption);

}  // namespace qn
