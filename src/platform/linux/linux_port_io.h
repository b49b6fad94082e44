// PortIo on Linux: the parallel port's data register through the kernel's
// ppdev driver (/dev/parport0 for 0x3BC and 0x378, /dev/parport1 for 0x278),
// or a serial device named in LPTPORT.TXT whose RTS (or DTR) line follows bit
// 0 of the byte. docs/ptt.md tells the user how to set it up.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/port_io.h"

namespace qn {

class LinuxPortIo : public PortIo {
 public:
  LinuxPortIo() = default;
  ~LinuxPortIo() override;
  LinuxPortIo(const LinuxPortIo&) = delete;
  LinuxPortIo& operator=(const LinuxPortIo&) = delete;

  bool SelectDevice(const std::string& device, bool useDtr, std::string& error) override;
  std::optional<std::uint8_t> Read(std::uint16_t address) override;
  bool Write(std::uint16_t address, std::uint8_t value) override;

 private:
  // The claimed parport device for an address; -1 when there is none.
  int ParportFor(std::uint16_t address);
  int OpenParport(const std::string& path, std::string& error);
  bool SetSerialLine(bool on);

  std::map<std::string, int> parports_;  // path -> fd, -1 when it failed
  std::string parportDevice_;            // chosen in LPTPORT.TXT
  int serialFd_ = -1;
  bool useDtr_ = false;
  std::uint8_t serialByte_ = 0;
};

}  // namespace qn
