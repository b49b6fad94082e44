#include "traffic/alerts_rules.h"

#include <algorithm>
#include <filesystem>

#include "core/instance.h"
#include "core/text.h"
#include "traffic/alerts.h"
#include "traffic/spot_pipeline.h"

namespace qn {

AlertFields AlertsRules::Load() const {
  const AppSettings& s = app_.Settings();
  AlertFields f;
  if (alerts_) f.list = alerts_->List().Source();
  f.enabled = s.alertEnabled;
  f.soundFile = LCase(s.alertSoundFile);
  f.repetitions = std::to_string(s.alertRepetitions);
  f.lptSwitch = s.alertLptSwitch;
  return f;
}

std::vector<std::string> AlertsRules::SoundFiles() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(app_.State().soundFolder, ec)) {
    std::string name = entry.path().filename().string();
    if (entry.is_regular_file(ec) && EndsWith(UCase(name), ".WAV")) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return UCase(a) < UCase(b); });
  return names;
}

bool AlertsRules::RepetitionKeyAllowed(char c) {
  return (c >= '0' && c <= '9') || c == 8 || c == 9 || c == 27;
}

bool AlertsRules::Test(const AlertFields& fields) {
  Alerts* alerts = alerts_;
  if (!alerts) return false;
  auto answer = app_.Prompt().InputBox(kAlertTestPrompt, kAlertsCaption, "");
  std::string text = answer ? Trim(*answer) : std::string();

  // The dialog's values for the moment, with a single repetition.
  AppSettings& s = app_.Settings();
  const AppSettings saved = s;
  const std::string savedList = alerts->List().Source();
  s.alertEnabled = fields.enabled;
  s.alertSoundFile = fields.soundFile;
  s.alertLptSwitch = fields.lptSwitch;
  s.alertRepetitions = 1;
  alerts->SetList(fields.list);

  bool matched = false;
  if (text.empty()) {
    alerts->AlertAction(false);
    if (app_.playSpeechNow) app_.playSpeechNow();
  } else if (alerts->Active()) {
    matched = alerts->MatchCallAlert(text) || alerts->MatchLineAlert(text) > 0;
    if (matched) {
      alerts->Archive(text);
      if (app_.playSpeechNow) app_.playSpeechNow();
    }
  }

  s.alertEnabled = saved.alertEnabled;
  s.alertSoundFile = saved.alertSoundFile;
  s.alertLptSwitch = saved.alertLptSwitch;
  s.alertRepetitions = saved.alertRepetitions;
  alerts->SetList(savedList);
  return matched;
}

void AlertsRules::RunMailbell() { app_.StartHelper(kMailbellProgram, {}, WindowStyle::Normal); }

void AlertsRules::Save(const AlertFields& fields) {
  AppSettings& s = app_.Settings();
  const bool empty = TrimSpaceAndControls(fields.list).empty();
  s.alertEnabled = fields.enabled && !empty;
  s.alertLptSwitch = fields.lptSwitch;
  if (!Trim(fields.soundFile).empty()) s.alertSoundFile = Trim(fields.soundFile);
  s.alertRepetitions = ValInt16(fields.repetitions);
  if (s.alertRepetitions < 0) s.alertRepetitions = 0;
  if (!empty) {
    if (!app_.Folder().WriteAtomic(kAlertFile, fields.list))
      app_.Prompt().MessageBox(std::string("The alert list could not be saved to ") + kAlertFile,
                               MsgIcon::Exclamation);
    if (alerts_) alerts_->SetList(fields.list);
  }
  app_.SaveSettings();
}

}  // namespace qn
