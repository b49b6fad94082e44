#include "serial/aux_comm_rules.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "core/instance.h"
#include "core/text.h"
#include "serial/aux_settings.h"

namespace qn {

AuxCommFields AuxCommRules::Load(const AppSettings& s) {
  AuxCommFields f;
  f.portNumber = s.auxPortList;
  f.settings = s.auxPortSettings;
  f.escape = s.auxEscapeString;
  f.enabled = s.auxEnabled;
  f.inputOnly = s.auxInputOnly;
  f.xonXoff = s.auxHandshake & 1;
  f.hardware = s.auxHandshake & 2;
  f.logBase = s.logPortBase == 0 ? DefaultLogPortBase(s.auxPortList) : FormatLogPortBase(s.logPortBase);
  f.useLogPort = s.useLogPort;
  return f;
}

std::string AuxCommRules::Save(const AuxCommFields& f, AppSettings& s) {
  const std::string number = UCase(Trim(WithoutLineBreaks(f.portNumber)));
  const std::string settings = UCase(Trim(WithoutLineBreaks(f.settings)));
  const std::string escape = Trim(WithoutLineBreaks(f.escape));
  if (f.enabled) {
    if (number.empty()) return kNeedPortNumber;
    if (settings.empty()) return kNeedPortSettings;
    if (escape.empty()) return kNeedEscape;
  }
  bool ok = true;
  if (!settings.empty()) ParseSerialSettings(settings, &ok);
  if (!ok) return kBadPortSettings;
  s.auxPortList = number;
  s.auxPortSettings = settings;
  s.auxEscapeString = escape;
  s.auxEnabled = f.enabled;
  s.auxInputOnly = f.inputOnly;
  s.logPortBase = static_cast<std::int16_t>(ParseLogPortBase(f.logBase));
  s.useLogPort = f.useLogPort;
  s.auxHandshake = static_cast<std::int16_t>((f.hardware ? 2 : 0) + (f.xonXoff ? 1 : 0));
  return {};
}

bool AuxCommRules::AcceptsPortKey(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '\b' || c == ',' || c == ';' || c == '+' || c == '-' || c == ':';
}

int AuxCommRules::FirstEmptyRequired(const AuxCommFields& f) {
  if (!f.enabled) return 0;
  if (Trim(f.portNumber).empty()) return 1;
  if (Trim(f.settings).empty()) return 2;
  if (Trim(f.escape).empty()) return 3;
  return 0;
}

std::string AuxCommRules::DevicesNamed(const std::string& portList,
                                       const std::map<int, std::string>& serialMap,
                                       const std::vector<std::string>& present) {
  std::set<int> numbers;
  for (int copy = 1; copy <= 16; ++copy) {
    AuxEntry e = ResolveAuxPort(UCase(portList), copy, "");
    if (e.port > 0) numbers.insert(e.port);
  }
  std::string text;
  for (int n : numbers) {
    std::string device = DeviceForPort(serialMap, n);
    bool there = std::find(present.begin(), present.end(), device) != present.end();
    if (!text.empty()) text += ", ";
    text += std::to_string(n) + " = " + device;
    std::string notes;
    if (serialMap.count(n)) notes = "SERIAL.TXT";
    if (!there) notes += std::string(notes.empty() ? "" : ", ") + "not present";
    if (!notes.empty()) text += " (" + notes + ")";
  }
  return text.empty() ? "no port number" : text;
}

TncParametersFields TncParametersRules::Load(const AppSettings& s) { return {s.tncInitPath, s.tncMode != 1}; }

void TncParametersRules::Save(const TncParametersFields& f, AppSettings& s) {
  s.tncMode = f.wa8ded ? 2 : 1;
  s.tncInitPath = Trim(WithoutLineBreaks(f.initPath));
}

bool TncParametersRules::AcceptsPathKey(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  // "/" too: Linux paths are written with it.
  return std::isalnum(u) || c == '\b' || c == '-' || c == ';' || c == '\\' || c == ':' || c == '.' ||
         c == '_' || c == '~' || c == '/';
}

bool SaveAuxCommDialog(Instance& app, const AuxCommFields& fields) {
  std::string refusal = AuxCommRules::Save(fields, app.Settings());
  if (!refusal.empty()) {
    app.Prompt().MessageBox(refusal, MsgIcon::Exclamation);
    return false;
  }
  app.SaveSettings();
  app.Prompt().MessageBox(kActiveAtRestart);
  return true;
}

void SaveTncParametersDialog(Instance& app, const TncParametersFields& fields) {
  TncParametersRules::Save(fields, app.Settings());
  app.SaveSettings();
  app.Prompt().MessageBox(kActiveAtRestart);
}

}  // namespace qn
