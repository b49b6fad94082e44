#include "core/personal_info.h"

#include "core/instance.h"
#include "core/text.h"
#include "platform/prompter.h"

namespace qn {

bool ValidateLocator(std::string& text) {
  std::string s = text;
  if (auto p = s.find('/'); p != std::string::npos) s.resize(p);
  if (auto p = s.find('\\'); p != std::string::npos) s.resize(p);
  if (s.size() == 4) s += "AA";
  if (s.size() != 6) return false;
  auto in = [](char c, char lo, char hi) { return c >= lo && c <= hi; };
  if (!in(s[0], 'A', 'R') || !in(s[1], 'A', 'R')) return false;
  if (!in(s[2], '0', '9') || !in(s[3], '0', '9')) return false;
  if (!in(s[4], 'A', 'X') || !in(s[5], 'A', 'X')) return false;
  text = s;
  return true;
}

double OffsetToDays(const std::string& offsetText) {
  std::string hours = offsetText;
  std::string minutes;
  if (auto p = offsetText.find('.'); p != std::string::npos) {
    hours = offsetText.substr(0, p);
    minutes = offsetText.substr(p + 1);
  }
  if (auto p = offsetText.find(':'); p != std::string::npos) {
    hours = offsetText.substr(0, p);
    minutes = offsetText.substr(p + 1);
  }
  if (minutes == "15")
    minutes = "25";
  else if (minutes == "30")
    minutes = "50";
  else if (minutes == "45")
    minutes = "75";
  std::string number = minutes.empty() ? hours : hours + "." + minutes;
  return Val(number) / 24.0;
}

bool AskCallsign(Prompter& prompter, AppSettings& settings) {
  const std::string current = settings.ownCallsign;
  std::string answer;
  while (answer.empty()) {
    if (!prompter.CanAsk()) return false;
    auto reply = prompter.InputBox("Enter your callsign", "Quillnet", current);
    answer = reply && !reply->empty() ? *reply : current;
    answer = UCase(Trim(answer));
    std::size_t n = 0;
    while (n < answer.size() &&
           ((answer[n] >= '0' && answer[n] <= '9') || (answer[n] >= 'A' && answer[n] <= 'Z')))
      ++n;
    answer.resize(n);
  }
  if (answer == settings.ownCallsign) return false;
  settings.ownCallsign = answer;
  return true;
}

bool PersonalInfoKeyAllowed(PersonalField field, char c) {
  if (c == 8 || c == 9 || c == 27) return true;
  bool digit = c >= '0' && c <= '9';
  bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  switch (field) {
    case PersonalField::Callsign:
    case PersonalField::Locator:
      return digit || letter;
    case PersonalField::UtcOffset:
      return digit || c == ':' || c == ',' || c == '.' || c == '+' || c == '-';
  }
  return false;
}

PersonalInfoFields PersonalInfoLoad(const AppSettings& settings) {
  return {settings.ownCallsign, settings.ownLocator, settings.utcOffset};
}

void ApplyPersonalInfo(AppSettings& settings, const PersonalInfoFields& fields) {
  if (!fields.callsign.empty()) settings.ownCallsign = fields.callsign;
  std::string locator = UCase(fields.locator);
  if (ValidateLocator(locator)) settings.ownLocator = locator;
  settings.utcOffset = fields.utcOffset;
}

void PersonalInfoSave(Instance& app, const PersonalInfoFields& fields) {
  ApplyPersonalInfo(app.Settings(), fields);
  app.SaveSettings();
}

}  // namespace qn
