// Rig control of one instance: the menu rows "Options / Tune to Spot" and
// "Configuration / Rig Control...", and RIG.TXT taken up at start-up.
#include "app/app.h"
#include "rig/rig_control.h"
#include "rig/rig_file.h"
#include "traffic/traffic_windows.h"

namespace qn {

void App::BuildRigMenu() {
  rig_ = std::make_unique<RigControl>(ports_.loop, frame_, ports_.prompter, ports_.rigs,
                                      [this] { return settings_.ownLocator; });
  menu_.Add({"mnutunespot", "&Options", "T&une to Spot", "",
             [this] {
               // The spot or terminal window that had the focus last; the spot window otherwise.
               WindowId id = trafficWindows_ ? trafficWindows_->Focused() : WindowId::Spots;
               if (id != WindowId::Terminal) id = WindowId::Spots;
               rig_->TuneToCaret(Window(id));
             },
             14});
  menu_.Add({"mnucfgrig", "&Configuration", "&Rig Control...", "",
             [this] { OpenDialog(DialogKind::RigControl); }, 15});
}

void App::StartUpRig() { rig_->Configure(LoadRigSettings(folder_)); }

}  // namespace qn
