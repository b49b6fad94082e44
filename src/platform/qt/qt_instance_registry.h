// The InstanceRegistry port on a per-user runtime folder: each running copy
// keeps one entry file, "<pid>.instance", holding its title (8-bit, no line
// end), e.g. "4711.instance" with "Quillnet [dx.example.org]". The folder is
// private to the user (0700); entries of dead processes are removed by
// whoever lists them.
#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "platform/instance_registry.h"

namespace qn {

// Creates the folder (and its parents) and makes sure it is a real directory
// of this user that nobody else can enter: that mode is what keeps other
// users away from the sockets inside. False when it cannot be made so.
bool MakePrivateRuntimeFolder(const std::string& path);
// The process id an entry of the folder is named by ("4711" of "4711.sock");
// 0 when the name is no process id.
long PidFromEntryName(const std::string& stem);
// No process of that id runs any more: its entries may be removed.
bool ProcessGone(long pid);

class QtInstanceRegistry : public InstanceRegistry {
 public:
  // folder empty: $QUILLNET_RUNTIME_DIR, else $XDG_RUNTIME_DIR/quillnet, else
  // a private "quillnet-<uid>" in the temp folder. pid 0: this process.
  explicit QtInstanceRegistry(std::string folder = {}, long pid = 0);
  ~QtInstanceRegistry() override;
  QtInstanceRegistry(const QtInstanceRegistry&) = delete;
  QtInstanceRegistry& operator=(const QtInstanceRegistry&) = delete;

  std::vector<std::string> OtherTitles() override;
  void SetOwnTitle(const std::string& title) override;
  // The copy whose window is active names itself in the entry "front".
  bool AnotherInFront() override;
  void SetOwnInFront(bool inFront) override;

  const std::string& Folder() const { return folder_; }
  // False when the folder could not be made private to this user; the
  // instance then neither registers nor sees others.
  bool Usable() const { return usable_; }
  static std::string DefaultFolder();

 private:
  std::string EntryPath(long pid) const;
  // True when the folder changed since the last call: the watch's queue held
  // something (it is emptied), or without a watch, the folder's time moved.
  bool FolderChanged();
  long FrontPid() const;

  std::string folder_;
  long pid_;
  bool usable_ = false;
  bool registered_ = false;
  // The links ask for the others at every spot they hand on: the listing is
  // kept until the folder changes, and at most a second.
  std::vector<std::string> cachedTitles_;
  std::chrono::steady_clock::time_point cachedAt_{};
  timespec cachedChange_{};  // without a watch: the folder's time
  bool cached_ = false;
  int watch_ = -1;  // inotify on the folder
};

}  // namespace qn
