// The other ends flinger meets, written here from docs/ipc.md and plain UDP:
// a UDP peer on loopback, a fake Quillnet copy that serves "Textin", and a
// client that pokes into an endpoint.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fl::testing {

class UdpPeer {
 public:
  explicit UdpPeer(bool ipv6 = false);
  ~UdpPeer();
  int Port() const { return port_; }
  void SendTo(int port, const std::string& bytes);
  std::optional<std::string> Receive(int timeoutMs);

 private:
  int fd_ = -1;
  int port_ = 0;
  bool v6_;
};

struct Poke {
  std::string application, topic, item, text;
};

// Listens as PID.sock with PID.endpoint "quillnet TAB tag"; answers every
// message "OK".
class FakeCopy {
 public:
  FakeCopy(const std::string& runtimeDir, long pid, const std::string& tag);
  ~FakeCopy();
  std::optional<Poke> Receive(int timeoutMs);

 private:
  bool Work(int timeoutMs);
  int listen_ = -1;
  struct Conn {
    int fd;
    std::string buffer;
  };
  std::vector<Conn> conns_;
  std::vector<Poke> got_;
};

class IpcClient {
 public:
  explicit IpcClient(const std::string& socketPath);
  ~IpcClient();
  bool Connected() const { return fd_ >= 0; }
  void SendRaw(const std::string& bytes);
  void Send(const Poke& poke);
  // One answer line without its LF; "" when none came or the peer closed.
  std::string Answer(int timeoutMs);
  bool ClosedByPeer(int timeoutMs);

 private:
  int fd_ = -1;
  std::string buffer_;
};

std::string Encode(const Poke& poke);
// The UDP port a process has bound (the first found), 0 when none.
int UdpPortOf(long pid);

// The socket path of the endpoint of application in runtimeDir, or "".
std::string FindEndpoint(const std::string& runtimeDir, const std::string& application);

}  // namespace fl::testing
