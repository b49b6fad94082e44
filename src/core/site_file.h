// The site file of one session kind in the data folder, record by record.
// Owns nothing between calls: each operation reads the file, changes it and
// replaces it atomically. Used by the site list and editor, the connect
// procedure and the start-up site update.
//
// Format: 395-byte SiteRecords back to back, no header; record N (from 1)
// starts at byte (N - 1) * 395. A file whose length is not a multiple of 395
// ends in a partial record that is not a record: it is never shown or found,
// but every rewrite keeps those bytes after the last record, so a damaged file
// loses nothing that could still be recovered from it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/session_kind.h"
#include "core/site_record.h"

namespace qn {

// The script path of a site, or nothing when the first 8 characters of its name
// hold anything but letters, digits, "-" and "_" (such a name cannot come from
// the editor, and must not become a path).
std::optional<std::string> SafeScriptFileName(std::string_view siteName, bool tnc);

class SiteFile {
 public:
  SiteFile(DataFolder folder, SessionKind kind) : folder_(std::move(folder)), kind_(kind) {}

  // "qln.sit" for telnet and web instances, "qlntnc.sit" for TNC instances.
  static std::string FileName(SessionKind kind);
  // "qln.bak" / "qlntnc.bak": the deletion's intermediate copy.
  static std::string BackupName(SessionKind kind);

  std::string FileName() const { return FileName(kind_); }
  std::string BackupName() const { return BackupName(kind_); }
  // SCRIPT\ + first 8 characters upper-cased + ".SCR" (".TNC" in a TNC instance),
  // or nothing for a name that is not safe as a path.
  std::optional<std::string> ScriptName(std::string_view siteName) const;

  bool Exists() const;
  // Creates the file empty when it is missing; true when it exists afterwards.
  bool Open() const;

  // All whole records in file order; a missing file has none.
  std::vector<SiteRecord> ReadAll() const;
  std::size_t Count() const;
  // Record number (from 1); nothing when out of range.
  std::optional<SiteRecord> Read(std::size_t number) const;
  // The number of the first record whose trimmed, upper-cased name equals the
  // trimmed, upper-cased name; 0 when none or when the name is empty.
  std::size_t FindSite(std::string_view name) const;

  // Adds the record after the last one (creating the file); its reserved bytes
  // are written as the record holds them.
  bool Append(const SiteRecord& record) const;
  // Replaces the fields of record `number`; the reserved bytes already stored
  // there are kept, whatever the given record holds in them.
  bool Write(std::size_t number, const SiteRecord& record) const;
  // Record `number` and record 1 change places (the connected site goes first).
  // Nothing to do for record 1; false when the number is out of range.
  bool SwapWithFirst(std::size_t number) const;
  // Removes record `number`: its script file is deleted (unless another site
  // of the file shares it), the other records are written in order to the
  // backup file, and the backup is renamed to the site file's name. A failure
  // part-way leaves the backup beside the site file.
  bool Delete(std::size_t number) const;

  // True when a record other than `number` has the same script file.
  bool ScriptSharedWithOthers(std::size_t number) const;

 private:
  struct Content {
    std::vector<SiteRecord> records;
    std::string tail;  // bytes of a trailing partial record
  };
  std::optional<Content> Load() const;
  static std::string Serialise(const Content& content);
  bool Store(const Content& content) const;
  bool SharedScript(const std::vector<SiteRecord>& records, std::size_t index) const;

  DataFolder folder_;
  SessionKind kind_;
};

}  // namespace qn
