// The rows of the Edit, Ham Info and Window menus, the colours dialog
// and the clock command, and the objects behind them.
#include "app/app.h"
#include "lookups/lookups.h"
#include "session/connection_control.h"
#include "session/typed_input.h"
#include "traffic/spot_pipeline.h"
#include "traffic/traffic_windows.h"

namespace qn {

void App::BuildLookupMenu() {
  trafficWindows_ = std::make_unique<TrafficWindows>(*this);
  lookups_ = std::make_unique<Lookups>(*this);
  TrafficWindows* tw = trafficWindows_.get();
  Lookups* lk = lookups_.get();
  lk->clickedIota = &tw->Clicked().Values().iotaCopy;
  lk->rightClickAnswered = [tw] { tw->SetRightClick(false); };
  tw->steps.presetSearch = [lk](const std::string& call) { lk->SetPresetSearch(call); };
  tw->steps.iotaInfo = [lk](const std::string& iota) { lk->IotaInfo(iota); };
  tw->steps.prefixInfo = [lk](const std::string& word) { lk->PrefixInfo(word); };
  // The session's subsystems come later, at start-up: asked when used.
  tw->steps.escape = [this] {
    if (typedInput_) typedInput_->Escape();
  };
  tw->steps.chatSession = [this] { return connection_ && connection_->Modes().chat; };
  tw->steps.lastTalker = [this](SpotSource side, const std::string& talker) {
    if (pipeline_) pipeline_->Talk().SetLastTalker(side, talker);
  };
  tw->steps.rightClickSearch = [this] { PressKey("Shift+F6"); };

  menu_.Add({"mnucopy", "&Edit", "&Copy", "Ctrl+Ins", [tw] { tw->Copy(); }, 1});
  menu_.Add({"mnupaste", "&Edit", "&Paste TX", "Shift+Ins", [tw] { tw->PasteTx(); }, 2});
  menu_.Add({"mnufind", "&Edit", "&Find...", "", [tw] { tw->Find(); }, 3});
  menu_.Add({"mnufindnext", "&Edit", "Find &Next", "", [tw] { tw->FindNext(); }, 4});

  menu_.Add(
      {"mnucolours", "&Configuration", "&Colours...", "", [this] { OpenDialog(DialogKind::Colours); }, 3});

  menu_.Add({"mnuloc", "&Ham Info", "Locator Info...", "Ctrl+F1",
             [lk, tw] { lk->LocatorInfo("", tw->Clicked().Values().locator); }, 1});
  menu_.Add({"mnupfx", "&Ham Info", "Prefix Info...", "Ctrl+F2", [lk] { lk->PrefixInfo(""); }, 2});
  menu_.Add({"mnuiota", "&Ham Info", "Iota Info...", "Ctrl+F3", [lk] { lk->IotaInfo(""); }, 3});
  for (const WebSearchEntry& e : WebSearchEntries()) {
    menu_.Add({e.id, e.menu, e.caption, e.shortcut, [lk, &e] { lk->RunEntry(e); }, e.order});
  }

  menu_.Add({"mnuadj", "&Options", "Adjust &PC Clock", "", [lk] { lk->AdjustClock(); }, 1});

  struct Focus {
    const char* id;
    const char* caption;
    const char* key;
    WindowId window;
  };
  static constexpr Focus kFocus[] = {{"mnuwdx", "&DX-Spot", "F2", WindowId::Spots},
                                     {"mnuwtalk", "&Talk", "F3", WindowId::Talks},
                                     {"mnuwann", "&Ann", "F4", WindowId::Announcements},
                                     {"mnuwtx", "T&x", "F5", WindowId::TypedInput},
                                     {"mnuwrx", "&Rx", "F6", WindowId::Terminal}};
  int order = 1;
  for (const Focus& f : kFocus) {
    WindowId id = f.window;
    menu_.Add({f.id, "&Window", f.caption, f.key, [tw, id] { tw->FocusWindow(id); }, order++});
  }
  menu_.Add({"mnuclear", "&Window", "&Clear Buffer", "", [tw] { tw->ClearBuffer(); }, order});
}

}  // namespace qn
