#include "core/menu_table.h"

#include <algorithm>

#include "core/text.h"

namespace qn {

const std::vector<std::string>& MenuTable::TopLevel() {
  static const std::vector<std::string> kMenus = {"&File",     "&Configuration", "&Edit",   "&Session",
                                                  "&Ham Info", "&Options",       "&Window", "&?"};
  return kMenus;
}

std::string StripAmpersand(const std::string& caption) {
  std::string r;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') r += '&', ++i;
      continue;
    }
    r += caption[i];
  }
  return r;
}

void MenuTable::Add(MenuAction action) {
  auto menuIndex = [](const std::string& m) {
    const auto& top = TopLevel();
    return std::find(top.begin(), top.end(), m) - top.begin();
  };
  auto key = [&](const MenuAction& a) { return std::make_pair(menuIndex(a.menu), a.order); };
  auto pos = std::upper_bound(actions_.begin(), actions_.end(), action,
                              [&](const MenuAction& x, const MenuAction& y) { return key(x) < key(y); });
  actions_.insert(pos, std::move(action));
}

const MenuAction* MenuTable::Find(const std::string& path,
                                  const std::function<std::string(const MenuAction&)>& shownCaption) const {
  auto slash = path.find('/');
  if (slash == std::string::npos) return nullptr;
  std::string menu = UCase(Trim(StripAmpersand(path.substr(0, slash))));
  std::string item = UCase(Trim(StripAmpersand(path.substr(slash + 1))));
  auto bare = [](std::string s) {
    while (EndsWith(s, ".")) s.pop_back();
    return s;
  };
  for (const auto& a : actions_) {
    if (UCase(StripAmpersand(a.menu)) != menu) continue;
    std::string shown = shownCaption ? shownCaption(a) : std::string();
    std::string cap = UCase(StripAmpersand(shown.empty() ? a.caption : shown));
    if (cap == item || bare(cap) == bare(item)) return &a;
  }
  return nullptr;
}

const MenuAction* MenuTable::FindByShortcut(const std::string& key) const {
  std::string k = UCase(key);
  for (const auto& a : actions_) {
    if (!a.shortcut.empty() && UCase(a.shortcut) == k) return &a;
  }
  return nullptr;
}

}  // namespace qn
