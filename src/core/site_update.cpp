#include "core/site_update.h"

#include <optional>
#include <set>
#include <system_error>

#include "core/site_file.h"
#include "core/site_record.h"
#include "core/text.h"

namespace qn {

namespace {

const char* const kKillList = "kill.txt";
const char* const kAddList = "add.txt";
const char* const kAddRecords = "add.sit";
// What a removed record's name becomes until the file is written back.
const char* const kRemovedName = "--------";

// A list as searched: upper-cased, line ends taken as separators and blanks
// dropped (no site name holds one), and enclosed in commas so that the first
// and last names are found even when the writer left those commas out.
std::string MakeList(const std::optional<std::string>& text) {
  if (!text) return {};
  std::string list = ",";
  for (char c : UCase(*text)) {
    if (c == '\r' || c == '\n') {
      list.push_back(',');
    } else if (c != ' ' && c != '\t') {
      list.push_back(c);
    }
  }
  list.push_back(',');
  return list;
}

// A key that can be looked up at all: a name with a comma would match pieces
// of two neighbouring names.
bool Searchable(const std::string& key) { return !key.empty() && key.find(',') == std::string::npos; }

bool InList(const std::string& list, const std::string& key) {
  return Searchable(key) && InStr(list, "," + key + ",") > 0;
}

// Cuts the first mention of the name, leaving its neighbours enclosed.
bool CutFromList(std::string& list, const std::string& key) {
  if (!Searchable(key)) return false;
  std::size_t at = InStr(list, "," + key + ",");
  if (at == 0) return false;
  list.erase(at, key.size() + 1);
  return true;
}

// A handed-over script waits in the folder root under its site's script name.
std::string RootScriptName(const SiteRecord& r) { return UCase(Left(r.Name(), 8)) + ".SCR"; }

void MoveScriptIntoPlace(const DataFolder& folder, const SiteRecord& r) {
  auto target = SafeScriptFileName(r.Name(), false);
  if (!target) return;
  std::string source = RootScriptName(r);
  if (!folder.Exists(source)) return;
  if (folder.Exists(*target)) folder.Remove(*target);
  if (auto dir = folder.Resolve("SCRIPT")) {
    std::error_code ec;
    fs::create_directories(*dir, ec);
  }
  folder.Rename(source, *target);
}

}  // namespace

SiteUpdateSummary ApplySiteUpdate(const DataFolder& folder) {
  SiteUpdateSummary summary;
  const std::string siteFile = SiteFile::FileName(SessionKind::Telnet);
  const bool haveSites = folder.Exists(siteFile);
  const bool haveAddRecords = folder.Exists(kAddRecords);
  // add.txt means nothing without the records, and both lists nothing without a site file.
  std::optional<std::string> killText = haveSites ? folder.Read(kKillList) : std::nullopt;
  std::optional<std::string> addText = haveSites && haveAddRecords ? folder.Read(kAddList) : std::nullopt;

  if (killText || addText) {
    std::string kill = MakeList(killText);
    std::string add = MakeList(addText);
    auto bytes = folder.Read(siteFile);
    std::optional<std::string> addBytes = addText ? folder.Read(kAddRecords) : std::nullopt;
    if (!bytes || (addText && !addBytes)) {
      summary.failed = true;
      return summary;
    }
    std::vector<SiteRecord> records = ParseSiteFile(*bytes);
    // A damaged file's trailing partial record stays after the last record.
    const std::string tail = bytes->substr(records.size() * SiteRecord::kSize);
    std::vector<std::string> killedScripts;

    for (auto& r : records) {
      std::string key = r.Key();
      if (CutFromList(kill, key)) {
        summary.removed.push_back(r.Name());
        if (auto script = SafeScriptFileName(r.Name(), false)) killedScripts.push_back(*script);
        r.SetName(kRemovedName);
      } else {
        // Already present: the stored record stays as it is.
        CutFromList(add, key);
      }
    }

    // Scripts of the sites that stay must survive the removal of a site whose
    // name shares their first 8 characters.
    std::set<std::string> keptScripts;
    for (const auto& r : records) {
      if (r.Key() == kRemovedName) continue;
      if (auto script = SafeScriptFileName(r.Name(), false)) keptScripts.insert(*script);
    }

    std::vector<SiteRecord> appended;
    if (addBytes) {
      for (const auto& r : ParseSiteFile(*addBytes)) {
        std::string key = r.Key();
        if (key == kRemovedName || !InList(add, key)) continue;
        // Its name becomes a script path and a list entry: only what the
        // editor could have typed is taken.
        if (!IsValidSiteName(r.Name())) {
          summary.refused.push_back(r.Name());
          continue;
        }
        // Once only, so a doubled entry in add.sit does not give two sites of one name.
        CutFromList(add, key);
        appended.push_back(r);
      }
    }

    std::vector<SiteRecord> out;
    for (const auto& r : records) {
      if (r.Key() != kRemovedName) out.push_back(r);
    }
    out.insert(out.end(), appended.begin(), appended.end());
    if (!folder.WriteAtomic(siteFile, SerialiseSiteFile(out) + tail)) {
      summary.failed = true;
      return summary;
    }
    summary.rewritten = true;

    for (const auto& script : killedScripts) {
      if (!keptScripts.count(script) && folder.Exists(script)) folder.Remove(script);
    }
    for (const auto& r : appended) {
      MoveScriptIntoPlace(folder, r);
      summary.added.push_back(r.Name());
    }
  }

  for (const char* name : {kKillList, kAddList, kAddRecords}) {
    if (folder.Exists(name)) folder.Remove(name);
  }
  return summary;
}

}  // namespace qn
