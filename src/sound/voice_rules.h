// The rules of the voice broadcaster dialog Frmcfgvoice ("Voice Broadcaster
// Parameters"): the ID string and its interval, double spell, silence on talks
// and announcements, and PTT. The ID string's final "/" is kept as a flag.
#pragma once

#include <string>
#include <string_view>

namespace qn {

class Instance;

inline constexpr const char* kVoiceFrameCaption = "Voice Broadcaster Parameters";

struct VoiceFields {
  std::string idString;      // "ID strin&g" (Txtidid), with its final "/" when set
  std::string idInterval;    // "&ID Minimum Interval (minutes)" (Txtidper)
  bool doubleSpell = false;  // "Enable &Double Spell" (Chkdouble)
  bool silence = false;      // "Silence on &Talks and Anns" (Chktalkann)
  bool ptt = false;          // "Enable &PTT on LPT1"
};

// Characters the ID string field takes: letters, digits, "/" and "\".
bool IdStringCharAllowed(char c);
// Characters the interval field takes: digits.
bool IntervalCharAllowed(char c);
// Text pasted or typed elsewhere, with what the field would refuse left out.
std::string FilterIdString(std::string_view text);
std::string FilterInterval(std::string_view text);

VoiceFields VoiceDialogLoad(const Instance& app);
void VoiceDialogSave(Instance& app, const VoiceFields& fields);

}  // namespace qn
