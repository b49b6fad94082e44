#include "core/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "core/text.h"

namespace qn {

namespace {

std::vector<std::string> Components(std::string_view name) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : name) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool WriteAll(int fd, std::string_view content) {
  const char* p = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// "name.tmp" + digits: what WriteFileAtomic leaves when its process dies
// before the rename; 0 when the name is not one.
long TempFileOwner(const std::string& name) {
  std::size_t at = name.rfind(".tmp");
  if (at == std::string::npos || at == 0 || at + 4 >= name.size()) return 0;
  std::string digits = name.substr(at + 4);
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::stol(digits);
}

// Our own number can only be a dead process's: nothing is being saved yet.
bool ProcessAlive(long pid) {
  return pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

bool CreatePrivateFolders(const fs::path& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (folder.has_parent_path() && folder.parent_path() != folder &&
      !CreatePrivateFolders(folder.parent_path()))
    return false;
  // Only what we create is made private; existing folders keep their mode.
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

void RemoveDeadTempFiles(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> dead;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code one;
    if (!it->is_regular_file(one)) continue;
    long owner = TempFileOwner(it->path().filename().string());
    if (owner > 0 && !ProcessAlive(owner)) dead.push_back(it->path());
  }
  for (const fs::path& p : dead) fs::remove(p, ec);
}

bool IsSafeRelativeName(std::string_view name) {
  if (name.empty()) return false;
  if (name.front() == '/' || name.front() == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  for (const auto& part : Components(name)) {
    if (part == "." || part == "..") return false;
  }
  return name.find('\0') == std::string_view::npos;
}

std::optional<fs::path> DataFolder::Resolve(std::string_view name) const {
  if (!IsSafeRelativeName(name)) return std::nullopt;
  fs::path cur = root_;
  for (const auto& part : Components(name)) {
    fs::path exact = cur / part;
    std::error_code ec;
    if (fs::exists(exact, ec)) {
      cur = exact;
      continue;
    }
    fs::path found;
    if (fs::is_directory(cur, ec)) {
      for (const auto& entry : fs::directory_iterator(cur, ec)) {
        if (IEquals(entry.path().filename().string(), part)) {
          found = entry.path();
          break;
        }
      }
    }
    cur = found.empty() ? exact : found;
  }
  return cur;
}

bool DataFolder::Exists(std::string_view name) const {
  auto p = Resolve(name);
  std::error_code ec;
  return p && fs::is_regular_file(*p, ec);
}

std::optional<std::string> DataFolder::Read(std::string_view name) const {
  auto p = Resolve(name);
  if (!p) return std::nullopt;
  return ReadFile(*p);
}

bool DataFolder::WriteAtomic(std::string_view name, std::string_view content) const {
  auto p = Resolve(name);
  if (!p) return false;
  CreatePrivateFolders(p->parent_path());
  return WriteFileAtomic(*p, content);
}

bool DataFolder::Append(std::string_view name, std::string_view content) const {
  auto p = Resolve(name);
  if (!p) return false;
  CreatePrivateFolders(p->parent_path());
  int fd = ::open(p->c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content);
  return ::close(fd) == 0 && ok;
}

bool DataFolder::Remove(std::string_view name) const {
  auto p = Resolve(name);
  std::error_code ec;
  return p && fs::remove(*p, ec);
}

bool DataFolder::Rename(std::string_view from, std::string_view to) const {
  auto a = Resolve(from);
  auto b = Resolve(to);
  if (!a || !b) return false;
  std::error_code ec;
  fs::rename(*a, *b, ec);
  return !ec;
}

std::uintmax_t DataFolder::Size(std::string_view name) const {
  auto p = Resolve(name);
  std::error_code ec;
  if (!p) return 0;
  auto s = fs::file_size(*p, ec);
  return ec ? 0 : s;
}

bool WriteFileAtomic(const fs::path& path, std::string_view content) {
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && std::rename(tmp.c_str(), path.c_str()) == 0) {
    // Make the rename itself durable.
    int dir = ::open(path.parent_path().empty() ? "." : path.parent_path().c_str(),
                     O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    return true;
  }
  ::unlink(tmp.c_str());
  return false;
}

std::optional<std::string> ReadFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return data;
}

std::optional<fs::path> FindHelperProgram(const DataFolder& folder, std::string_view name) {
  std::string given(name);
  std::vector<std::string> tries{given};
  if (EndsWith(UCase(given), ".EXE"))
    tries.push_back(given.substr(0, given.size() - 4));
  else
    tries.push_back(given + ".exe");
  for (const std::string& t : tries) {
    auto path = folder.Resolve(t);
    std::error_code ec;
    if (path && fs::is_regular_file(*path, ec)) return path;
  }
  return std::nullopt;
}

}  // namespace qn
