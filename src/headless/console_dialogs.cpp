#include "headless/console_dialogs.h"

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "core/text.h"
#include "links/links_rules.h"
#include "serial/aux_comm_rules.h"
#include "serial/aux_port.h"
#include "serial/aux_settings.h"
#include "sound/sound_rules.h"
#include "sound/voice_rules.h"
#include "traffic/alerts.h"
#include "traffic/alerts_rules.h"
#include "traffic/filter_rules.h"
#include "traffic/talk_rules.h"
#include "web/web_cluster_rules.h"

namespace qn::console {

namespace {

// Asks one text field; false when the question was cancelled.
bool AskText(Prompter& ask, const std::string& title, const std::string& label, std::string& value) {
  auto a = ask.InputBox(label + " [" + value + "]", title, value);
  if (!a) return false;
  if (Trim(*a) == "-")
    value.clear();
  else if (!a->empty())
    value = *a;
  return true;
}

bool AskFlag(Prompter& ask, const std::string& title, const std::string& label, bool& value) {
  std::string text = value ? "Y" : "N";
  if (!AskText(ask, title, label + " (Y/N)", text)) return false;
  std::string u = UCase(Trim(text));
  value = !u.empty() && u[0] == 'Y';
  return true;
}

// "14000-14070, 7000-7040" <-> the ten ranges.
std::string RangesText(const FilterFields& f) {
  std::string text;
  for (std::size_t i = 0; i < f.low.size(); ++i) {
    if (Trim(f.low[i]).empty() && Trim(f.high[i]).empty()) continue;
    if (!text.empty()) text += ", ";
    text += Trim(f.low[i]) + "-" + Trim(f.high[i]);
  }
  return text;
}

void ApplyRangesText(const std::string& text, FilterFields& f) {
  f.low.fill({});
  f.high.fill({});
  std::size_t i = 0, start = 0;
  while (start <= text.size() && i < f.low.size()) {
    std::size_t cut = text.find(',', start);
    if (cut == std::string::npos) cut = text.size();
    std::string range = Trim(text.substr(start, cut - start));
    if (!range.empty()) {
      std::size_t dash = range.find('-', 1);
      f.low[i] = Trim(range.substr(0, dash));
      f.high[i] = dash == std::string::npos ? std::string() : Trim(range.substr(dash + 1));
      ++i;
    }
    start = cut + 1;
  }
}

}  // namespace

void FilterDialog(App& app, Prompter& ask) {
  FilterRules rules = app.MakeFilterRules();
  FilterFields f = rules.Load();
  const std::string title = kFilterDialogCaption;
  std::string ranges = RangesText(f);
  if (!AskText(ask, title, "Exclusion Ranges (lower-upper, ...)", ranges)) return;
  ApplyRangesText(ranges, f);
  if (!AskText(ask, title, "Select only DX spots containing these words:", f.selectWords)) return;
  if (!AskText(ask, title, "Reject DX spots containing these words:", f.rejectWords)) return;
  bool dxDe = f.dxDeFilter;
  if (!AskFlag(ask, title, "Enable \"DX de ...\" Filter", dxDe)) return;
  if (dxDe != f.dxDeFilter) f.dxDeFilter = rules.TickDxDe(dxDe);
  if (!AskFlag(ask, title, "Reject old DX Spots", f.rejectOld)) return;
  rules.Save(f);
}

void AlertsDialog(App& app, Prompter& ask) {
  AlertsRules rules = app.MakeAlertsRules();
  AlertFields f = rules.Load();
  // The list itself is edited in ALERT.TXT; saving here takes it up.
  if (auto file = app.Folder().Read(kAlertFile)) f.list = *file;
  const std::string title = kAlertsCaption;
  if (!AskFlag(ask, title, "Enable Alert", f.enabled)) return;
  if (!AskText(ask, title, "Repetitions", f.repetitions)) return;
  if (!AskFlag(ask, title, "Enable LPT switch", f.lptSwitch)) return;
  if (!AskText(ask, title, "Alert Sound File", f.soundFile)) return;
  rules.Save(f);
}

void TalkDialog(App& app, Prompter& ask) {
  TalkFields f = TalkDialogLoad(app);
  const std::string title = kTalkFrameCaption;
  // The dialog stays open until its Save is taken or it is cancelled.
  for (int tries = 0; tries < 100; ++tries) {
    if (!AskFlag(ask, title, "Talk Time Stamp", f.timeStamp)) return;
    if (!AskFlag(ask, title, "Talk Priority", f.priority)) return;
    if (!AskFlag(ask, title, "Enable Auto Answer", f.autoAnswer)) return;
    if (!AskText(ask, title, "Auto Answer String", f.answerString)) return;
    if (TalkDialogSave(app, f)) return;
  }
}

void LinksDialog(App& app, Prompter& ask) {
  LinksFields f = LinksRules::Load(app.Settings());
  const std::string title = kLinksDialogCaption;
  for (int tries = 0; tries < 100; ++tries) {
    if (!AskFlag(ask, title, "Enable Link", f.enabled)) return;
    if (!AskText(ask, title, "DXHUNTER or external Log Path", f.logFolder)) return;
    if (!AskText(ask, title, "EXE Name (without extension)", f.application)) return;
    if (!AskText(ask, title, "Link Topic", f.topic)) return;
    if (!AskText(ask, title, "Link Item", f.item)) return;
    if (SaveLinksDialog(app, f)) return;
  }
}

void WebClusterDialog(App& app, Prompter& ask) {
  WebClusterFields f = WebClusterRules::Load(app.Settings());
  const std::string title = kWebClusterDialogCaption;
  for (int tries = 0; tries < 100; ++tries) {
    if (!AskText(ask, title, "Network Address or Host Name", f.servers)) return;
    if (!AskText(ask, title, "File Path And Name", f.paths)) return;
    if (!AskText(ask, title, "Refresh Period, Minutes", f.period)) return;
    if (!AskFlag(ask, title, "Ignore Very First Connection", f.ignoreFirst)) return;
    if (!AskText(ask, title, "Your Callsign", f.callsign)) return;
    if (!AskFlag(ask, title, "DDE in", f.ddeIn)) return;
    if (!AskFlag(ask, title, "DDE out", f.ddeOut)) return;
    const bool bridged = f.bridgeToRemote;
    if (!AskFlag(ask, title, "Bridge To Remote", f.bridgeToRemote)) return;
    if (f.bridgeToRemote && !bridged) ask.MessageBox(kWebBridgeWarning, MsgIcon::Exclamation);
    if (SaveWebClusterDialog(app, f)) return;
  }
}

void SoundDialog(App& app, Prompter& ask) {
  SoundRules rules = app.MakeSoundRules();
  SoundFields f = rules.Load();
  const std::string title = kSoundFrameCaption;
  std::string speed = std::to_string(f.speed);
  std::string volume = std::to_string(f.volume);
  if (!AskFlag(ask, title, "Enable Sounds", f.sounds) ||
      !AskFlag(ask, title, "Enable Voice Spelling", f.voiceSpelling) ||
      !AskFlag(ask, title, "Truncate frequency", f.truncate) ||
      !AskText(ask, title,
               "Speed Factor (" + std::to_string(SoundRules::kSpeedMin) + "-" +
                   std::to_string(SoundRules::kSpeedMax) + ")",
               speed) ||
      !AskText(ask, title, "Volume (0-" + std::to_string(SoundRules::kVolumeMax) + ")", volume)) {
    rules.Cancel();
    return;
  }
  f.speed = static_cast<int>(ValInt(speed));
  f.volume = static_cast<int>(ValInt(volume));
  rules.Save(f);
  rules.VolumeMoved(app.Settings().waveVolume);
}

void VoiceDialog(App& app, Prompter& ask) {
  VoiceFields f = VoiceDialogLoad(app);
  const std::string title = kVoiceFrameCaption;
  if (!AskText(ask, title, "ID string", f.idString)) return;
  if (!AskText(ask, title, "ID Minimum Interval (minutes)", f.idInterval)) return;
  if (!AskFlag(ask, title, "Enable Double Spell", f.doubleSpell)) return;
  if (!AskFlag(ask, title, "Silence on Talks and Anns", f.silence)) return;
  if (!AskFlag(ask, title, "Enable PTT on LPT1", f.ptt)) return;
  VoiceDialogSave(app, f);
}

namespace {

std::vector<std::string> PresentDevices(App& app) {
  AuxPort* aux = app.Aux();
  return aux && aux->Port() ? aux->Port()->PresentDevices() : std::vector<std::string>{};
}

}  // namespace

void AuxCommDialog(App& app, Prompter& ask) {
  AuxCommFields f = AuxCommRules::Load(app.Settings());
  const std::string title = kAuxCommCaption;
  const auto map = ReadSerialMap(app.Folder());
  std::string present;
  for (const std::string& d : PresentDevices(app)) present += (present.empty() ? "" : ", ") + d;
  for (int tries = 0; tries < 100; ++tries) {
    std::string before = f.portNumber;
    if (!AskText(ask, title,
                 "Comm Port Number (now " + AuxCommRules::DevicesNamed(f.portNumber, map, PresentDevices(app)) +
                     "; serial devices present: " + (present.empty() ? "none" : present) + ")",
                 f.portNumber))
      return;
    if (f.portNumber != before) f.logBase = DefaultLogPortBase(f.portNumber);
    if (!AskText(ask, title, "Comm Port Settings", f.settings)) return;
    if (!AskText(ask, title, "Command Escape String", f.escape)) return;
    if (!AskFlag(ask, title, "Enable Comm Port", f.enabled)) return;
    if (!AskFlag(ask, title, "Input only", f.inputOnly)) return;
    if (!AskFlag(ask, title, "Xon Xoff Handshake", f.xonXoff)) return;
    if (!AskFlag(ask, title, "Hardware Handshake", f.hardware)) return;
    if (!AskText(ask, title, "Log Port Base Address", f.logBase)) return;
    bool wasLog = f.useLogPort;
    if (!AskFlag(ask, title, "Use Log Port", f.useLogPort)) return;
    if (f.useLogPort && !wasLog &&
        ask.MessageBox(kLogPortWarning, MsgIcon::Exclamation, MsgButtons::YesNo) != MsgResult::Yes)
      f.useLogPort = false;
    ask.MessageBox("Port " + AuxCommRules::DevicesNamed(f.portNumber, map, PresentDevices(app)), MsgIcon::Information);
    if (SaveAuxCommDialog(app, f)) return;
  }
}

void TncParametersDialog(App& app, Prompter& ask) {
  TncParametersFields f = TncParametersRules::Load(app.Settings());
  const std::string title = kTncParametersCaption;
  if (!AskText(ask, title, "TNC Initialization Path\\Filename", f.initPath)) return;
  std::string mode = f.wa8ded ? "WA8DED" : "TAPR";
  if (!AskText(ask, title, "TNC Terminal Mode (WA8DED/TAPR)", mode)) return;
  f.wa8ded = StartsWith(UCase(Trim(mode)), "W");
  SaveTncParametersDialog(app, f);
}

}  // namespace qn::console
