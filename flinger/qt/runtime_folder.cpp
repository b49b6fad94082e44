#include "runtime_folder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/ipc_codec.h"

namespace fl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kEndpointSuffix = ".endpoint";

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

long PidOf(const std::string& stem) {
  if (stem.empty() || stem.size() > 9) return 0;
  long pid = 0;
  for (char c : stem) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

}  // namespace

std::string RuntimeFolder::DefaultPath() {
  if (const char* v = std::getenv("QUILLNET_RUNTIME_DIR"); v && *v) return v;
  if (const char* v = std::getenv("XDG_RUNTIME_DIR"); v && *v) return std::string(v) + "/quillnet";
  return "/tmp/quillnet-" + std::to_string(::getuid());
}

RuntimeFolder::RuntimeFolder(std::string path) : path_(std::move(path)) {}

bool RuntimeFolder::MakePrivate() {
  std::error_code ec;
  fs::path p(path_);
  if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
  if (::mkdir(path_.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(path_.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
  return (st.st_mode & 077) == 0 || ::chmod(path_.c_str(), 0700) == 0;
}

std::string RuntimeFolder::SocketPath(long pid) const { return path_ + "/" + std::to_string(pid) + ".sock"; }

std::vector<EndpointEntry> RuntimeFolder::List() {
  std::vector<EndpointEntry> out;
  std::error_code ec;
  for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != kEndpointSuffix) continue;
    long pid = PidOf(it->path().stem().string());
    if (pid <= 0) continue;
    if (ProcessGone(pid)) {
      RemoveEntries(pid);
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::string line(4096, '\0');
    in.read(line.data(), static_cast<std::streamsize>(line.size()));
    line.resize(static_cast<std::size_t>(in.gcount()));
    EndpointEntry e;
    e.pid = pid;
    e.socketPath = SocketPath(pid);
    if (ParseEndpointLine(line, &e.application, &e.topic)) out.push_back(std::move(e));
  }
  return out;
}

bool RuntimeFolder::WriteEndpointFile(long pid, const std::string& application, const std::string& topic) {
  std::string target = path_ + "/" + std::to_string(pid) + kEndpointSuffix;
  std::string temp = target + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << application << '\t' << topic;
    out.flush();
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  return !ec;
}

void RuntimeFolder::RemoveEntries(long pid) {
  std::error_code ec;
  fs::remove(path_ + "/" + std::to_string(pid) + kEndpointSuffix, ec);
  fs::remove(SocketPath(pid), ec);
}

}  // namespace fl
