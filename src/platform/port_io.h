// The byte-wide output that keys the transmitter (PTT): the data register of a
// parallel port at a given address, or a serial device whose RTS (or DTR) line
// stands in for bit 0 of that byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qn {

class PortIo {
 public:
  virtual ~PortIo() = default;
  // Uses this device from now on instead of the standard parallel port: a
  // parallel-port device, or a serial device keyed on RTS (on DTR with useDtr).
  // False with a reason when it cannot be opened or driven.
  virtual bool SelectDevice(const std::string& device, bool useDtr, std::string& error) = 0;
  // The data byte at address; empty when no port answers there.
  virtual std::optional<std::uint8_t> Read(std::uint16_t address) = 0;
  // False when no port takes the byte.
  virtual bool Write(std::uint16_t address, std::uint8_t value) = 0;
};

}  // namespace qn
