#include "sound/voice_rules.h"

#include "core/instance.h"
#include "core/text.h"

namespace qn {

namespace {

std::string Filtered(std::string_view text, bool (*allowed)(char)) {
  std::string r;
  for (char c : text)
    if (allowed(c)) r += c;
  return r;
}

}  // namespace

bool IdStringCharAllowed(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '\\';
}

bool IntervalCharAllowed(char c) { return c >= '0' && c <= '9'; }

std::string FilterIdString(std::string_view text) { return Filtered(text, IdStringCharAllowed); }

std::string FilterInterval(std::string_view text) { return Filtered(text, IntervalCharAllowed); }

VoiceFields VoiceDialogLoad(const Instance& app) {
  const AppSettings& s = app.Settings();
  VoiceFields f;
  f.idString = s.idString + (s.idStringSlash ? "/" : "");
  f.idInterval = std::to_string(s.idIntervalMinutes);
  f.doubleSpell = s.doubleSpell;
  f.silence = s.silenceOnTalksAndAnns;
  f.ptt = s.pttOnLpt1;
  return f;
}

void VoiceDialogSave(Instance& app, const VoiceFields& fields) {
  AppSettings& s = app.Settings();
  std::string id = UCase(FilterIdString(fields.idString));
  s.idStringSlash = !id.empty() && id.back() == '/';
  if (s.idStringSlash) id.pop_back();
  s.idString = id;
  std::int16_t minutes = ValInt16(FilterInterval(fields.idInterval));
  s.idIntervalMinutes = minutes < 0 ? std::int16_t{0} : minutes;
  s.doubleSpell = fields.doubleSpell;
  s.silenceOnTalksAndAnns = fields.silence;
  s.pttOnLpt1 = fields.ptt;
  app.SaveSettings();
}

}  // namespace qn
