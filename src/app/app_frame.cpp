// The frame's own commands of one instance: print, fonts, scroll bars,
// restore defaults, save positions, about and help.
#include <string>

#include "app/app.h"
#include "core/frame_commands.h"
#include "traffic/traffic_windows.h"

namespace qn {

namespace {

const char* WindowCaption(WindowId id) {
  switch (id) {
    case WindowId::Terminal:
      return "Terminal";
    case WindowId::Spots:
      return "DX Spots";
    case WindowId::Announcements:
      return "Announcements";
    case WindowId::Talks:
      return "Talks";
    case WindowId::TypedInput:
      return "Tx";
  }
  return "Terminal";
}

}  // namespace

void App::BuildFrameMenu() {
  frameCommands_ =
      std::make_unique<FrameCommands>(settings_, positions_, frame_, FrameCommandPorts{ports_.prompter});
  FrameCommands* fc = frameCommands_.get();
  fc->saveSettings = [this] { SaveSettings(); };
  fc->savePositions = [this] { SavePositions(); };
  fc->appearanceChanged = [this] {
    options_.verticalScrollBars = settings_.verticalScrollBars;
    if (onAppearanceChanged) onAppearanceChanged();
  };
  fc->helpDocument = [this] {
    auto path = folder_.Resolve(FrameCommands::kHelpFile);
    return path && fs::exists(*path) ? path->string() : std::string();
  };
  fc->focusedTopic = [this] { return helpTopic ? helpTopic() : std::string(); };

  menu_.Add({"mnuprint", "&File", "&Print", "Shift+F2",
             [this] {
               WindowId id = trafficWindows_ ? trafficWindows_->Focused() : WindowId::Terminal;
               frameCommands_->Print(std::string("Quillnet - ") + WindowCaption(id), Window(id).Text());
             },
             2});
  menu_.Add({"mnufonts", "&Configuration", "Fo&nts...", "", [this] { OpenDialog(DialogKind::Fonts); }, 5});
  menu_.Add({"mnuvscroll", "&Configuration", "&Vertical Scroll Bars", "",
             [fc] { fc->ToggleVerticalScrollBars(); }, 12, true});
  menu_.Add({"mnurestore", "&Window", "Re&store Defaults", "", [fc] { fc->RestoreDefaults(); }, 7});
  menu_.Add({"mnusavepos", "&Window", "Save &Positions", "", [fc] { fc->SavePositions(); }, 8});
  menu_.Add({"mnuabout", "&?", "&About...", "", [fc] { fc->About(); }, 1});
  menu_.Add({"mnuhelp", "&?", "&Help", "", [fc] { fc->Help(); }, 2});
}

}  // namespace qn
