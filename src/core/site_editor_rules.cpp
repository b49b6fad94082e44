#include "core/site_editor_rules.h"

#include <optional>

#include "core/instance.h"
#include "core/site_file.h"
#include "core/site_list.h"
#include "core/text.h"

namespace qn {

namespace {

constexpr char kBackspace = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A numeric address: four parts of at most 255, dots only between them.
bool NumericAddressValid(const std::string& a) {
  int dots = 0;
  int part = -1;  // -1: no digit in the current part yet
  for (char c : a) {
    if (c == '.') {
      if (part < 0) return false;
      ++dots;
      part = -1;
    } else {
      part = (part < 0 ? 0 : part) * 10 + (c - '0');
      if (part > 255) return false;
    }
  }
  return dots == 3 && part >= 0;
}

}  // namespace

SiteEditorRules::SiteEditorRules(Instance& app, SiteList* list) : app_(app), list_(list) {}

bool SiteEditorRules::Tnc() const { return app_.State().sessionKind == SessionKind::Tnc; }

SiteFields SiteEditorRules::FieldsOf(const SiteRecord& r, std::string script) {
  SiteFields f;
  f.name = r.Name();
  f.address = r.Address();
  f.customPort = r.PortType() == '1';
  f.port = r.CustomPort();
  f.keepAlive = r.KeepAliveEnabled();
  f.keepAlivePeriod = r.KeepAlivePeriod();
  f.bridgeFrom = r.BridgeFlags() & 1;
  f.bridgeTo = r.BridgeFlags() & 2;
  f.useScript = r.AutoFlags() & 1;
  f.autoReconnect = r.AutoFlags() & 2;
  f.ddeIn = r.ServiceFlags() & 1;
  f.ddeOut = r.ServiceFlags() & 2;
  f.serviceOther = r.ServiceFlags() & 4;
  f.comment = r.Comment();
  f.script = std::move(script);
  return f;
}

bool SiteEditorRules::BeginEdit(std::size_t number) {
  SiteFile file(app_.Folder(), app_.State().sessionKind);
  auto record = file.Read(number);
  if (!record) return false;
  std::string script;
  if (auto name = file.ScriptName(record->Name())) script = app_.Folder().Read(*name).value_or("");
  number_ = number;
  originalName_ = record->Name();
  initial_ = FieldsOf(*record, std::move(script));
  caption_ = kEditCaption;
  return true;
}

bool SiteEditorRules::NameKeyAllowed(char c) {
  return IsLetter(c) || IsDigit(c) || c == '-' || c == '_' || c == kBackspace;
}

bool SiteEditorRules::PeriodKeyAllowed(char c) { return IsDigit(c) || c == kBackspace; }

std::string SiteEditorRules::FilterName(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != kBackspace && NameKeyAllowed(c)) out += c;
  }
  return out;
}

std::string SiteEditorRules::FilterPeriod(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (IsDigit(c)) out += c;
  }
  return out;
}

std::string SiteEditorRules::Refuse(const std::string& text) const {
  app_.Prompt().MessageBox(text, MsgIcon::Exclamation);
  return text;
}

std::string SiteEditorRules::AddressError(const std::string& address) const {
  const std::string a = Trim(address);
  if (a.empty()) return kNoAddress;
  // Host-list files (a leading ".") and names with letters are not checked.
  if (app_.State().sessionKind != SessionKind::Telnet || StartsWith(a, ".")) return {};
  for (char c : a) {
    if (!IsDigit(c) && c != '.') return {};
  }
  return NumericAddressValid(a) ? std::string() : kBadAddress;
}

std::string SiteEditorRules::CheckAddress(const std::string& address) const {
  std::string error = AddressError(address);
  return error.empty() ? error : Refuse(error);
}

bool SiteEditorRules::TickScriptOption(const std::string& script) const {
  if (TrimSpaceAndControls(script).empty()) {
    Refuse(kScriptNull);
    return false;
  }
  if (script.find("Yourcall") != std::string::npos ||
      (!Tnc() && script.find("Yourpassword") != std::string::npos)) {
    Refuse(kScriptPlaceholders);
    return false;
  }
  return true;
}

bool SiteEditorRules::TickBridgeFrom() const {
  return app_.Prompt().MessageBox(kBridgeFromWarning, MsgIcon::Exclamation, MsgButtons::OkCancel, 2) ==
         MsgResult::Ok;
}

bool SiteEditorRules::TickBridgeTo() const {
  return app_.Prompt().MessageBox(kBridgeToWarning, MsgIcon::Exclamation, MsgButtons::OkCancel, 2) ==
         MsgResult::Ok;
}

std::string SiteEditorRules::Save(const SiteFields& fields) {
  // Whatever reaches here unfiltered (a paste, the console) is filtered as keys are.
  const std::string name = FilterName(Trim(fields.name));
  const std::string period = FilterPeriod(fields.keepAlivePeriod);

  // The checks, the first failure wins.
  if (name.empty()) return Refuse(kNoName);
  if (std::string error = AddressError(fields.address); !error.empty()) return Refuse(error);
  if (fields.customPort && Trim(fields.port).empty()) return Refuse(kNoPort);
  if (fields.keepAlive && period.empty()) return Refuse(kNoPeriod);

  // The record.
  SiteRecord record;
  record.SetName(name);
  record.SetAddress(Trim(fields.address));
  record.SetPortType(fields.customPort ? '1' : '0');
  record.SetCustomPort(Trim(fields.port));
  record.SetKeepAliveEnabled(fields.keepAlive);
  record.SetKeepAlivePeriod(period);
  record.SetBridgeFlags((fields.bridgeFrom ? 1 : 0) + (fields.bridgeTo ? 2 : 0));
  record.SetAutoFlags((fields.useScript ? 1 : 0) + (fields.autoReconnect ? 2 : 0));
  record.SetServiceFlags((fields.ddeIn ? 1 : 0) + (fields.ddeOut ? 2 : 0) + (fields.serviceOther ? 4 : 0));
  record.SetComment(Trim(fields.comment));

  // Stored at the end (new) or in its place (edited).
  AppState& st = app_.State();
  SiteFile file(app_.Folder(), st.sessionKind);
  const bool wasNew = IsNew();
  std::size_t number = number_;
  bool oldShared = false;
  if (wasNew) {
    if (file.FindSite(record.Name()) != 0) return Refuse(kDuplicate);
    if (!file.Append(record)) return Refuse(kSiteNotSaved);
    number = file.Count();
  } else {
    // The file may have been reordered since the editor opened (a connect).
    auto there = file.Read(number);
    if (!there || there->Key() != UCase(Trim(originalName_))) number = file.FindSite(originalName_);
    if (number == 0) return Refuse(kSiteNotSaved);
    oldShared = file.ScriptSharedWithOthers(number);
    if (!file.Write(number, record)) return Refuse(kSiteNotSaved);
  }

  // The script, as typed. A rename takes the script along to its new file
  // Name, so an unchanged script is not lost with the old file.
  const auto newScript = file.ScriptName(record.Name());
  const auto oldScript = wasNew ? std::nullopt : file.ScriptName(originalName_);
  const bool renamed = !wasNew && oldScript != newScript;
  const bool changed = fields.script != initial_.script;
  bool scriptSaved = true;
  if (newScript) {
    if (fields.script.empty()) {
      if (changed && app_.Folder().Exists(*newScript)) app_.Folder().Remove(*newScript);
    } else if (changed || renamed) {
      scriptSaved = app_.Folder().WriteAtomic(*newScript, fields.script);
    }
  }
  if (renamed && scriptSaved && oldScript && !oldShared && app_.Folder().Exists(*oldScript)) {
    app_.Folder().Remove(*oldScript);
  }

  // The current site, the list, the note.
  const SiteRecord stored = file.Read(number).value_or(record);
  st.currentSite = stored;
  // A site already chosen for the next connect must not be connected as it was.
  if (!wasNew && st.pendingSite.Key() == UCase(Trim(originalName_))) st.pendingSite = stored;
  if (list_) {
    list_->FillSiteList();
    list_->SelectSite(stored.Name());
  }

  // From here on the editor holds the stored site, so a second OK rewrites it.
  const std::string oldText = initial_.script;
  number_ = number;
  originalName_ = stored.Name();
  initial_ = fields;
  initial_.name = stored.Name();
  caption_ = kEditCaption;
  if (!scriptSaved) {
    initial_.script = oldText;
    return Refuse(kScriptNotSaved);
  }
  if (!wasNew) app_.Prompt().MessageBox(kChangesAtNextConnection, MsgIcon::Information);
  return {};
}

}  // namespace qn
