// File access for everything under the data folder. Names arrive in the
// program's own Windows form ("ARCHIVE\alerts.txt") and are matched
// case-insensitively against what is on disk; nothing resolves outside the folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qn {

namespace fs = std::filesystem;

class DataFolder {
 public:
  DataFolder() = default;
  explicit DataFolder(fs::path root) : root_(std::move(root)) {}

  const fs::path& Root() const { return root_; }

  // The on-disk path for a relative name: each component matched
  // case-insensitively to an existing entry, or taken as given when none exists.
  // Empty when the name would leave the folder (absolute, "..", drive letters).
  std::optional<fs::path> Resolve(std::string_view name) const;

  bool Exists(std::string_view name) const;
  std::optional<std::string> Read(std::string_view name) const;
  // Atomic replacement: temp file beside the target, flushed, renamed over it.
  bool WriteAtomic(std::string_view name, std::string_view content) const;
  bool Append(std::string_view name, std::string_view content) const;
  bool Remove(std::string_view name) const;
  bool Rename(std::string_view from, std::string_view to) const;
  std::uintmax_t Size(std::string_view name) const;

 private:
  fs::path root_;
};

// Creates folder and the missing folders above it, each readable by the user
// alone; folders that exist keep their mode.
bool CreatePrivateFolders(const fs::path& folder);
// Removes the temporary files of atomic writes whose process has died (a kill
// during a save), in folder and below it.
void RemoveDeadTempFiles(const fs::path& folder);

// The same atomic replacement for any path (used for files outside a DataFolder).
bool WriteFileAtomic(const fs::path& path, std::string_view content);
std::optional<std::string> ReadFile(const fs::path& path);

// A helper program of the data folder by its given name ("MAILBELL\\MAILBELL.EXE"),
// matched case-insensitively, also without its ".exe" or with one added. Empty
// when no such regular file exists.
std::optional<fs::path> FindHelperProgram(const DataFolder& folder, std::string_view name);

// A component is safe when it cannot climb or name another root.
bool IsSafeRelativeName(std::string_view name);

}  // namespace qn
