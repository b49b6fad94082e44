// The per-user folder where the programs of the local links keep their
// sockets and endpoint files.
#pragma once

#include <string>
#include <vector>

namespace fl {

struct EndpointEntry {
  long pid = 0;
  std::string application;
  std::string topic;
  std::string socketPath;
};

class RuntimeFolder {
 public:
  // $QUILLNET_RUNTIME_DIR, else $XDG_RUNTIME_DIR/quillnet, else /tmp/quillnet-UID.
  static std::string DefaultPath();

  explicit RuntimeFolder(std::string path = DefaultPath());
  // Made 0700 when missing; false when it is not a folder of this user only.
  bool MakePrivate();
  const std::string& Path() const { return path_; }
  std::string SocketPath(long pid) const;

  // Endpoints of living processes; leftovers of dead ones are removed.
  std::vector<EndpointEntry> List();
  bool WriteEndpointFile(long pid, const std::string& application, const std::string& topic);
  void RemoveEntries(long pid);

 private:
  std::string path_;
};

}  // namespace fl
