// The rules of the "Macros" dialog frmmac: the ten texts it shows and what its
// "&Save" stores. The Qt dialog lays out Txtmac1..Txtmac10; the settings and
// their file belong to the instance.
#pragma once

#include <array>
#include <string>

namespace qn {

class Instance;
struct AppSettings;

inline constexpr const char* kMacrosCaption = "Macros";
inline constexpr int kMacroCount = 10;

struct MacroFields {
  std::array<std::string, kMacroCount> texts;  // Txtmac1 .. Txtmac10
};

// "Alt+&1" .. "Alt+&9", "Alt+&0" for box index 0..9.
std::string MacroLabel(int index);
// "Txtmac1" .. "Txtmac10".
std::string MacroBoxName(int index);

MacroFields MacrosDialogLoad(const AppSettings& settings);
// "&Save": stores the ten texts and writes the configuration.
void MacrosDialogSave(Instance& app, const MacroFields& fields);

}  // namespace qn
