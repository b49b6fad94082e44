#include "session/macros_rules.h"

#include "core/instance.h"
#include "core/text.h"

namespace qn {

std::string MacroLabel(int index) { return "Alt+&" + std::to_string((index + 1) % 10); }

std::string MacroBoxName(int index) { return "Txtmac" + std::to_string(index + 1); }

MacroFields MacrosDialogLoad(const AppSettings& settings) {
  MacroFields f;
  f.texts = settings.macros;
  return f;
}

void MacrosDialogSave(Instance& app, const MacroFields& fields) {
  for (std::size_t i = 0; i < fields.texts.size(); ++i) {
    // Each macro is one line of the configuration file; a pasted line break
    // would shift every value after it.
    app.Settings().macros[i] = WithoutLineBreaks(fields.texts[i]);
  }
  app.SaveSettings();
}

}  // namespace qn
