// The menu bar item for item: captions, order and shortcut keys as a user of
// the program knows them, toggles marked, and the rows other features add in
// their place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"

namespace qn {
namespace {

struct Row {
  const char* menu;
  const char* caption;
  const char* shortcut;
};

// Toggles are marked with a trailing '*' here.
const Row kBar[] = {
    {"&File", "&Open Capture File...", "Shift+F1"},
    {"&File", "&Print", "Shift+F2"},
    {"&File", "E&xit", "Shift+F3"},
    {"&Configuration", "Al&erts...", ""},
    {"&Configuration", "&Aux Comm...", ""},
    {"&Configuration", "&Colours...", ""},
    {"&Configuration", "&Filters...", ""},
    {"&Configuration", "Fo&nts...", ""},
    {"&Configuration", "&Links...", ""},
    {"&Configuration", "&Macros...", ""},
    {"&Configuration", "&Personal Info...", ""},
    {"&Configuration", "&Sound Effects...", ""},
    {"&Configuration", "&Talk Functions...", ""},
    {"&Configuration", "T&NC Parameters...", ""},
    {"&Configuration", "&Vertical Scroll Bars*", ""},
    {"&Configuration", "Voice &Broadcaster...", ""},
    {"&Configuration", "&Web Cluster...", ""},
    {"&Configuration", "&Rig Control...", ""},  // rig control, after the rest
    {"&Edit", "&Copy", "Ctrl+Ins"},
    {"&Edit", "&Paste TX", "Shift+Ins"},
    {"&Edit", "&Find...", ""},
    {"&Edit", "Find &Next", ""},
    {"&Session", "&Connect", ""},
    {"&Session", "&Disconnect", ""},
    {"&Session", "Site &List...", ""},
    {"&Ham Info", "Locator Info...", "Ctrl+F1"},
    {"&Ham Info", "Prefix Info...", "Ctrl+F2"},
    {"&Ham Info", "Iota Info...", "Ctrl+F3"},
    {"&Ham Info", "BuckMaster (TM) Online...", "Shift+F4"},
    {"&Ham Info", "QRZ (TM) Online...", "Shift+F5"},
    {"&Ham Info", "Both...", "Shift+F6"},
    {"&Ham Info", "YY8CCC &Call Search...", ""},
    {"&Ham Info", "YY8CCC &Locator Search...", ""},
    {"&Ham Info", "YY0BBB's QSL Info...", "Ctrl+F5"},
    {"&Ham Info", "YY1DDD's Golist QSL Info...", "Ctrl+F7"},
    {"&Ham Info", "YY4AAA's QSL Info...", "Ctrl+F8"},
    {"&Ham Info", "OE Page...", ""},
    {"&Ham Info", "Pathfinder...", "Ctrl+F11"},
    {"&Ham Info", "RSGB Iota info...", "Ctrl+F12"},
    {"&Ham Info", "&DXPeditions...", ""},
    {"&Ham Info", "&Greyline...", ""},
    {"&Ham Info", "&Propagation...", ""},
    {"&Ham Info", "Latest 425 Bulletin...", "Shift+F7"},
    {"&Ham Info", "Latest WWV...", "Shift+F8"},
    {"&Ham Info", "Recent Most Wanted...", "Shift+F9"},
    {"&Ham Info", "Search 425", ""},
    {"&Ham Info", "Spot Search...", "Shift+F12"},
    {"&Options", "Adjust &PC Clock", ""},
    {"&Options", "&Auto Answer*", ""},
    {"&Options", "Auto &Reconnection*", ""},
    {"&Options", "&Crypto*", ""},
    {"&Options", "&Keep Alive*", ""},
    {"&Options", "&Link to DX-HUNTER*", ""},
    {"&Options", "&Repeat Last Spot", "F9"},
    {"&Options", "&Sounds*", ""},
    {"&Options", "&Talk Priority*", ""},
    {"&Options", "&Voice Spell*", ""},
    {"&Options", "Refresh Data", "F11"},
    {"&Options", "Talk To", "F12"},
    {"&Options", "T&une to Spot", ""},  // rig control
    {"&Window", "&DX-Spot", "F2"},
    {"&Window", "&Talk", "F3"},
    {"&Window", "&Ann", "F4"},
    {"&Window", "T&x", "F5"},
    {"&Window", "&Rx", "F6"},
    {"&Window", "&Clear Buffer", ""},
    {"&Window", "Re&store Defaults", ""},
    {"&Window", "Save &Positions", ""},
    {"&?", "&About...", ""},
    {"&?", "&Help", ""},
    {"&?", "Quillnet Black List", ""},
    {"&?", "Quillnet Feedback", ""},
    {"&?", "Quillnet Home Page", ""},
    {"&?", "DXHUNTER home page", ""},
};

// The bar as the window and the console show it: menus in their order, each
// menu's items by their place.
std::vector<std::string> Bar(const App& app) {
  std::vector<std::string> rows;
  for (const std::string& top : MenuTable::TopLevel()) {
    std::vector<const MenuAction*> items;
    for (const MenuAction& a : app.Menu().Actions())
      if (a.menu == top && a.caption != "-") items.push_back(&a);
    std::stable_sort(items.begin(), items.end(), [](auto* a, auto* b) { return a->order < b->order; });
    for (const MenuAction* a : items)
      rows.push_back(top + " | " + a->caption + (a->toggle ? "*" : "") + " | " + a->shortcut);
  }
  return rows;
}

TEST(MenuBar, EveryItemInItsPlaceWithItsKeyInEachSessionKind) {
  std::vector<std::string> expected;
  for (const Row& r : kBar) expected.push_back(std::string(r.menu) + " | " + r.caption + " | " + r.shortcut);
  for (const char* command : {"", "/TNC", "/WEB", "/DEMO"}) {
    fakes::TestApp t;
    fakes::FakeSocketFactory sockets;
    t.sockets = &sockets;
    EXPECT_EQ(Bar(t.StartWithCall(command)), expected) << "session " << command;
  }
}

TEST(MenuBar, ItemsThatMeanNothingInASessionKindAreDisabled) {
  fakes::TestApp telnet;
  fakes::FakeSocketFactory sockets;
  telnet.sockets = &sockets;
  App& app = telnet.StartWithCall("");
  // Nothing to refresh in a telnet session; every key still has one command.
  EXPECT_FALSE(app.Frame().Item("mnuoptref").enabled);
  std::vector<std::string> keys;
  for (const MenuAction& a : app.Menu().Actions())
    if (!a.shortcut.empty()) keys.push_back(a.shortcut);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

}  // namespace
}  // namespace qn
