// What every run of the built program against a test node needs: a private
// runtime folder and a configuration that already holds a callsign.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/files.h"
#include "fakes/temp_folder.h"

namespace qn::testing {

inline std::vector<std::string> ProgramEnv(const fakes::TempFolder& dir) {
  return {"QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string()};
}

inline void WriteCallsign(const fakes::TempFolder& dir, const std::string& call = "G4TST") {
  std::string cfg;
  for (int i = 1; i <= 92; ++i) cfg += (i == 67 ? call : i == 69 ? "1" : "") + std::string("\r\n");
  DataFolder(dir.Path()).WriteAtomic("quillnet.cfg", cfg);
}

// A configuration with a callsign and the aux port enabled on port 1, which
// SERIAL.TXT maps to the device (a pty the test holds).
inline void WriteAuxPortSetup(const fakes::TempFolder& dir, const char* configFile,
                              const std::string& device) {
  std::string cfg;
  for (int i = 1; i <= 92; ++i) {
    std::string v = i == 1    ? "1"
                    : i == 2  ? "9600,N,8,1"
                    : i == 3  ? "+++"
                    : i == 4  ? "1"
                    : i == 67 ? "G4TST"
                    : i == 69 ? "1"
                              : "";
    cfg += v + "\r\n";
  }
  DataFolder data(dir.Path());
  data.WriteAtomic(configFile, cfg);
  data.WriteAtomic("SERIAL.TXT", "' the test's pty\r\n1 " + device + "\r\n");
}

// A port nobody listens on at the moment, for a copy to listen on.
inline int FreeLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

}  // namespace qn::testing
