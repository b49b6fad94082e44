// Owns the transmitter's PTT line: bit 0 of the port byte keys it, bit 3 is
// held low with it. Talks to the PortIo port; the keying lead lets events run
// through the EventLoop. Also reads LPTPORT.TXT and probes the standard ports.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qn {

class EventLoop;
class PortIo;

// The first line of LPTPORT.TXT: a port address (decimal, or hexadecimal as
// "&H378"), or a device path with an optional "DTR" after it. Example lines:
//   &H378
//   /dev/ttyUSB0 DTR
struct LptPortLine {
  std::uint16_t address = 0;
  std::string device;  // empty: the address is what counts
  bool useDtr = false;
};
LptPortLine ParseLptPortLine(std::string_view fileText);

// The standard addresses in the order they are tried: 0x3BC, 0x378, then 0x278 untested.
std::uint16_t ProbeLptPort(PortIo* io);

class PttLine {
 public:
  static constexpr int kLeadMs = 100;

  PttLine(EventLoop& loop, PortIo* io) : loop_(loop), io_(io) {}

  void SetAddress(std::uint16_t address) { address_ = address; }
  std::uint16_t Address() const { return address_; }
  bool Keyed() const { return keyed_; }

  // Keys the transmitter, then lets events run for the lead time so the
  // transmitter is on the air before the first sound. Nothing when keyed.
  void Key();
  // Unkeys it at once. Nothing when not keyed.
  void Release();
  // Bits 0 and 3 low whatever the flag says: the line's state at start-up.
  void SwitchOff();

  // Told of every change of the keyed state.
  std::function<void(bool keyed)> onChanged;

 private:
  void WriteBits(bool on);

  EventLoop& loop_;
  PortIo* io_;
  std::uint16_t address_ = 0;
  bool keyed_ = false;
};

}  // namespace qn
