#include "core/site_file.h"

#include <utility>

#include "core/text.h"

namespace qn {

std::optional<std::string> SafeScriptFileName(std::string_view siteName, bool tnc) {
  if (!IsValidSiteName(Left(Trim(siteName), 8))) return std::nullopt;
  return ScriptFileName(siteName, tnc);
}

std::string SiteFile::FileName(SessionKind kind) {
  return kind == SessionKind::Tnc ? "qlntnc.sit" : "qln.sit";
}

std::string SiteFile::BackupName(SessionKind kind) {
  return kind == SessionKind::Tnc ? "qlntnc.bak" : "qln.bak";
}

std::optional<std::string> SiteFile::ScriptName(std::string_view siteName) const {
  return SafeScriptFileName(siteName, kind_ == SessionKind::Tnc);
}

bool SiteFile::Exists() const { return folder_.Exists(FileName()); }

bool SiteFile::Open() const { return Exists() || folder_.WriteAtomic(FileName(), ""); }

std::optional<SiteFile::Content> SiteFile::Load() const {
  auto bytes = folder_.Read(FileName());
  if (!bytes) return std::nullopt;
  Content c;
  c.records = ParseSiteFile(*bytes);
  c.tail = bytes->substr(c.records.size() * SiteRecord::kSize);
  return c;
}

std::string SiteFile::Serialise(const Content& content) {
  return SerialiseSiteFile(content.records) + content.tail;
}

bool SiteFile::Store(const Content& content) const {
  return folder_.WriteAtomic(FileName(), Serialise(content));
}

std::vector<SiteRecord> SiteFile::ReadAll() const {
  auto c = Load();
  return c ? std::move(c->records) : std::vector<SiteRecord>{};
}

std::size_t SiteFile::Count() const { return folder_.Size(FileName()) / SiteRecord::kSize; }

std::optional<SiteRecord> SiteFile::Read(std::size_t number) const {
  auto records = ReadAll();
  if (number < 1 || number > records.size()) return std::nullopt;
  return records[number - 1];
}

std::size_t SiteFile::FindSite(std::string_view name) const {
  std::string key = UCase(Trim(name));
  if (key.empty()) return 0;
  auto records = ReadAll();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].Key() == key) return i + 1;
  }
  return 0;
}

bool SiteFile::Append(const SiteRecord& record) const {
  std::optional<Content> c;
  if (Exists()) {
    c = Load();
    // An existing file we cannot read must not be replaced by one record.
    if (!c) return false;
  } else {
    c.emplace();
  }
  c->records.push_back(record);
  return Store(*c);
}

bool SiteFile::Write(std::size_t number, const SiteRecord& record) const {
  auto c = Load();
  if (!c || number < 1 || number > c->records.size()) return false;
  SiteRecord& stored = c->records[number - 1];
  std::string bytes(record.View().substr(0, SiteRecord::kFieldsSize));
  bytes.append(stored.View().substr(SiteRecord::kFieldsSize));
  stored = SiteRecord::FromBytes(bytes);
  return Store(*c);
}

bool SiteFile::SwapWithFirst(std::size_t number) const {
  auto c = Load();
  if (!c || number < 1 || number > c->records.size()) return false;
  if (number == 1) return true;
  std::swap(c->records[0], c->records[number - 1]);
  return Store(*c);
}

bool SiteFile::SharedScript(const std::vector<SiteRecord>& records, std::size_t index) const {
  auto script = ScriptName(records[index].Name());
  if (!script) return false;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i == index) continue;
    auto other = ScriptName(records[i].Name());
    if (other && *other == *script) return true;
  }
  return false;
}

bool SiteFile::ScriptSharedWithOthers(std::size_t number) const {
  auto records = ReadAll();
  if (number < 1 || number > records.size()) return false;
  return SharedScript(records, number - 1);
}

bool SiteFile::Delete(std::size_t number) const {
  auto c = Load();
  if (!c || number < 1 || number > c->records.size()) return false;
  const SiteRecord gone = c->records[number - 1];
  // A script that another site's name also maps to is that site's login too.
  const bool shared = SharedScript(c->records, number - 1);
  c->records.erase(c->records.begin() + static_cast<std::ptrdiff_t>(number - 1));

  // The copy goes to the backup first; renaming it over the site file then
  // replaces the old file in one step, so there is never a moment without a
  // site file, and a failure before the rename leaves the backup beside it.
  if (!folder_.WriteAtomic(BackupName(), Serialise(*c))) return false;
  if (!folder_.Rename(BackupName(), FileName())) return false;

  // Only once the record is really gone: a failed deletion keeps its script.
  auto script = ScriptName(gone.Name());
  if (script && !shared && folder_.Exists(*script)) folder_.Remove(*script);
  return true;
}

}  // namespace qn
