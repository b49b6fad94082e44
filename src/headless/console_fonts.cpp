#include <string>

#include "app/app.h"
#include "core/frame_commands.h"
#include "core/text.h"
#include "headless/console_dialogs.h"
#include "platform/prompter.h"

namespace qn::console {

void FontsDialog(App& app, Prompter& ask) {
  FrameCommands* commands = app.FrameCmds();
  if (!commands) return;
  FontChoice f = commands->CurrentFont();
  auto question = [&](const std::string& label, const std::string& now) {
    return ask.InputBox(label + " [" + now + "]", FrameCommands::kFontDialogTitle, now);
  };
  auto yes = [](const std::string& a, bool now) { return Trim(a).empty() ? now : UCase(Trim(a))[0] == 'Y'; };
  auto name = question("Font name", f.name);
  if (!name) return;
  auto size = question("Size", std::to_string(f.size));
  if (!size) return;
  auto bold = question("Bold (Y/N)", f.bold ? "Y" : "N");
  if (!bold) return;
  auto italic = question("Italic (Y/N)", f.italic ? "Y" : "N");
  if (!italic) return;
  if (!Trim(*name).empty()) f.name = Trim(*name);
  if (int n = std::atoi(size->c_str()); n > 0) f.size = n;
  f.bold = yes(*bold, f.bold);
  f.italic = yes(*italic, f.italic);
  commands->ChooseFont(f);
}

}  // namespace qn::console
