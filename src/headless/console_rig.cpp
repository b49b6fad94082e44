// The "Rig Control" dialog as the console asks it: the way to the radio, its
// fields, then "Test" (the answer waited for with events running) and Save.
#include <memory>
#include <optional>
#include <string>

#include "app/app.h"
#include "core/text.h"
#include "headless/console_dialogs.h"
#include "rig/rig_control.h"
#include "rig/rig_control_rules.h"
#include "rig/rig_file.h"

namespace qn::console {

namespace {

bool Ask(Prompter& ask, const std::string& label, std::string& value) {
  auto a = ask.InputBox(label + " [" + value + "]", kRigDialogCaption, value);
  if (!a) return false;
  if (!Trim(*a).empty()) value = Trim(*a);
  return true;
}

}  // namespace

void RigDialog(App& app, Prompter& ask) {
  if (!app.Rig()) return;
  RigControlRules rules(*app.Rig(), app.Folder());
  RigFields f = rules.Load();
  for (int tries = 0; tries < 100; ++tries) {
    std::string use = RigAccessName(f.use);
    if (!Ask(ask, "Rig control (off, rigctld, hamlib)", use)) return;
    use = LCase(use);
    f.use = use == "rigctld" ? RigAccess::Rigctld : use == "hamlib" ? RigAccess::Hamlib : RigAccess::Off;
    if (f.use == RigAccess::Rigctld &&
        (!Ask(ask, "rigctld host", f.host) || !Ask(ask, "rigctld port", f.port)))
      return;
    if (f.use == RigAccess::Hamlib && (!Ask(ask, "Hamlib model number (rigctl -l lists them)", f.model) ||
                                       !Ask(ask, "Serial device", f.device) || !Ask(ask, "Speed", f.speed)))
      return;
    if (f.use != RigAccess::Off) {
      std::string test = "N";
      if (!Ask(ask, "Test: read the rig's frequency now (Y/N)", test)) return;
      if (!test.empty() && (test[0] == 'Y' || test[0] == 'y')) {
        // Shared: should the wait end first, the late answer still has somewhere to go.
        auto answer = std::make_shared<std::optional<std::string>>();
        rules.Test(f, [answer](bool, const std::string& text) { *answer = text; });
        // The rig's own time-outs end this well before the limit.
        app.Loop().WaitUntil(15000, [answer] { return answer->has_value(); });
        ask.MessageBox(answer->value_or("The rig did not answer."), MsgIcon::Information);
      }
    }
    std::string error = rules.Save(f);
    if (error.empty()) return;
    ask.MessageBox(error, MsgIcon::Exclamation);
  }
}

}  // namespace qn::console
