#include "core/data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/files.h"

namespace qn {

namespace fs = std::filesystem;

fs::path ChooseDataFolder(const std::optional<std::string>& dataDirOption) {
  if (dataDirOption && !dataDirOption->empty()) return fs::absolute(*dataDirOption);
  if (const char* env = std::getenv("QUILLNET_DIR"); env && *env) return fs::absolute(env);
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "quillnet";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : "/tmp") / ".local/share/quillnet";
}

std::string PrepareDataFolder(const fs::path& folder, const fs::path& shipped) {
  std::error_code ec;
  if (!CreatePrivateFolders(folder) || !fs::is_directory(folder, ec)) {
    return "The data folder " + folder.string() + " cannot be created: " + std::strerror(errno);
  }
  if (::access(folder.c_str(), R_OK | W_OK | X_OK) != 0) {
    return "The data folder " + folder.string() + " cannot be used: " + std::strerror(errno);
  }
  RemoveDeadTempFiles(folder);
  if (shipped.empty() || !fs::is_directory(shipped, ec)) return {};
  for (auto it = fs::recursive_directory_iterator(shipped, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::path rel = fs::relative(it->path(), shipped, ec);
    if (ec) break;
    fs::path target = folder / rel;
    std::error_code one;
    if (it->is_directory(one)) {
      CreatePrivateFolders(target);
    } else if (!fs::exists(target, one)) {
      if (fs::copy_file(it->path(), target, fs::copy_options::skip_existing, one)) {
        fs::permissions(target, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove, one);
      }
    }
  }
  return {};
}

fs::path FindShippedData(const fs::path& executable) {
  std::error_code ec;
  fs::path dir = executable.parent_path();
  for (const fs::path& candidate : {dir / "data", dir / "../share/quillnet/data", dir / "../data"}) {
    if (fs::is_directory(candidate, ec)) return fs::weakly_canonical(candidate, ec);
  }
  return {};
}

}  // namespace qn
