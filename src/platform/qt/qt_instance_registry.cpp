#include "platform/qt/qt_instance_registry.h"

#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QSaveFile>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/qt/latin1.h"

namespace qn {

namespace {

constexpr std::size_t kMaxTitle = 4096;

}  // namespace

bool MakePrivateRuntimeFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

long PidFromEntryName(const std::string& stem) {
  if (stem.empty() || stem.size() > 10) return 0;
  for (char c : stem) {
    if (c < '0' || c > '9') return 0;
  }
  return std::strtol(stem.c_str(), nullptr, 10);
}

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

namespace {

constexpr const char* kSuffix = ".instance";

}  // namespace

std::string QtInstanceRegistry::DefaultFolder() {
  if (const char* v = std::getenv("QUILLNET_RUNTIME_DIR"); v && *v) return v;
  if (const char* v = std::getenv("XDG_RUNTIME_DIR"); v && *v) return std::string(v) + "/quillnet";
  // No runtime folder: a private one of this user in the temp folder.
  return FromQString(QDir::tempPath()) + "/quillnet-" + std::to_string(::getuid());
}

QtInstanceRegistry::QtInstanceRegistry(std::string folder, long pid)
    : folder_(folder.empty() ? DefaultFolder() : std::move(folder)), pid_(pid ? pid : ::getpid()) {
  usable_ = MakePrivateRuntimeFolder(folder_);
  if (usable_) {
    // Told of each change to the folder, the listing needs no look at the
    // folder itself while nothing changed: a read that finds nothing is far
    // cheaper than a stat of the path, and the links ask at every spot.
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ >= 0 && ::inotify_add_watch(watch_, folder_.c_str(),
                                           IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                               IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
      ::close(watch_);
      watch_ = -1;
    }
  }
  // Listed from the start, so other programs can find this copy before it
  // has a tag.
  SetOwnTitle("Quillnet");
}

QtInstanceRegistry::~QtInstanceRegistry() {
  if (watch_ >= 0) ::close(watch_);
  SetOwnInFront(false);
  if (!registered_) return;
  std::error_code ec;
  std::filesystem::remove(EntryPath(pid_), ec);
}

std::string QtInstanceRegistry::EntryPath(long pid) const {
  return folder_ + "/" + std::to_string(pid) + kSuffix;
}

std::vector<std::string> QtInstanceRegistry::OtherTitles() {
  std::vector<std::string> titles;
  if (!usable_) return titles;
  // A copy that starts, ends or changes its title renames an entry into the
  // folder, which the watch reports (or, without one, the folder's time
  // shows); one that dies without a word is found at the next listing, a
  // second later at most.
  const auto now = std::chrono::steady_clock::now();
  const bool fresh = cached_ && now - cachedAt_ < std::chrono::seconds(1);
  // Asked before the listing, so a change made during it is seen next time.
  if (!FolderChanged() && fresh) return cachedTitles_;
  cached_ = true;
  cachedAt_ = now;
  bool removed = false;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    const std::string suffix = kSuffix;
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      continue;
    name.resize(name.size() - suffix.size());
    long pid = PidFromEntryName(name);
    if (pid == pid_ || pid <= 0) continue;
    if (ProcessGone(pid)) {
      std::error_code rmEc;
      removed = std::filesystem::remove(it->path(), rmEc) || removed;
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    if (!in) continue;
    std::string title;
    title.resize(kMaxTitle);
    in.read(title.data(), static_cast<std::streamsize>(kMaxTitle));
    title.resize(static_cast<std::size_t>(in.gcount()));
    titles.push_back(std::move(title));
  }
  // Our own removals changed the folder's time: taken again, they do not
  // count as a change, and one by another copy in the meantime is seen a
  // second later at most. The watch just lists once more.
  if (removed && watch_ < 0) FolderChanged();
  cachedTitles_ = titles;
  return titles;
}

bool QtInstanceRegistry::FolderChanged() {
  if (watch_ < 0) {
    struct stat st {};
    if (::stat(folder_.c_str(), &st) != 0) return true;
    const bool changed =
        st.st_mtim.tv_sec != cachedChange_.tv_sec || st.st_mtim.tv_nsec != cachedChange_.tv_nsec;
    cachedChange_ = st.st_mtim;
    return changed;
  }
  alignas(inotify_event) char events[4096];
  bool changed = false;
  for (int i = 0; i < 64; ++i) {
    ssize_t n = ::read(watch_, events, sizeof events);
    if (n > 0) {
      changed = true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  return changed;
}

void QtInstanceRegistry::SetOwnTitle(const std::string& title) {
  if (!usable_) return;
  // Written beside the entry and renamed over it, so a reader never sees half a title.
  QSaveFile file(ToQString(EntryPath(pid_)));
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(title.data(), static_cast<qint64>(title.size()));
  if (!file.commit()) return;
  ::chmod(EntryPath(pid_).c_str(), 0600);
  registered_ = true;
}

long QtInstanceRegistry::FrontPid() const {
  std::ifstream in(folder_ + "/front", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return PidFromEntryName(text);
}

bool QtInstanceRegistry::AnotherInFront() {
  if (!usable_) return false;
  long pid = FrontPid();
  // A copy that ended while in front no longer counts.
  return pid > 0 && pid != pid_ && !ProcessGone(pid);
}

void QtInstanceRegistry::SetOwnInFront(bool inFront) {
  if (!usable_) return;
  const std::string path = folder_ + "/front";
  if (inFront) {
    QSaveFile file(ToQString(path));
    if (!file.open(QIODevice::WriteOnly)) return;
    std::string pid = std::to_string(pid_);
    file.write(pid.data(), static_cast<qint64>(pid.size()));
    file.commit();
  } else if (FrontPid() == pid_) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
}

}  // namespace qn
