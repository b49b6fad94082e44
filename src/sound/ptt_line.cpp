#include "sound/ptt_line.h"

#include "core/text.h"
#include "platform/event_loop.h"
#include "platform/port_io.h"

namespace qn {

namespace {

constexpr std::uint8_t kKeyBit = 0x01;
constexpr std::uint8_t kHeldLowBit = 0x08;

std::uint16_t ParseAddress(std::string_view word) {
  std::string u = UCase(std::string(word));
  long value = 0;
  if (StartsWith(u, "&H")) {
    for (char c : u.substr(2)) {
      int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (d < 0) break;
      value = value * 16 + d;
      if (value > 0xFFFF) return 0;
    }
  } else {
    value = static_cast<long>(ValInt(u));
  }
  return value < 0 || value > 0xFFFF ? 0 : static_cast<std::uint16_t>(value);
}

}  // namespace

LptPortLine ParseLptPortLine(std::string_view fileText) {
  std::string_view first = fileText.substr(0, fileText.find_first_of("\r\n"));
  std::string line = Trim(std::string(first));
  LptPortLine r;
  if (!line.empty() && line[0] == '/') {
    std::size_t space = line.find_first_of(" \t");
    r.device = line.substr(0, space);
    if (space != std::string::npos) r.useDtr = UCase(Trim(line.substr(space))) == "DTR";
    return r;
  }
  r.address = ParseAddress(line);
  return r;
}

std::uint16_t ProbeLptPort(PortIo* io) {
  for (std::uint16_t address : {std::uint16_t{0x3BC}, std::uint16_t{0x378}}) {
    if (io && io->Write(address, 0) && io->Read(address) == std::uint8_t{0}) return address;
  }
  return 0x278;
}

void PttLine::WriteBits(bool on) {
  if (!io_) return;
  std::uint8_t b = io_->Read(address_).value_or(0);
  b = static_cast<std::uint8_t>(on ? (b | kKeyBit) & ~kHeldLowBit : b & ~(kKeyBit | kHeldLowBit));
  io_->Write(address_, b);
}

void PttLine::Key() {
  if (keyed_) return;
  keyed_ = true;
  WriteBits(true);
  if (onChanged) onChanged(true);
  loop_.WaitUntil(kLeadMs, [] { return false; });
}

void PttLine::Release() {
  if (!keyed_) return;
  keyed_ = false;
  WriteBits(false);
  if (onChanged) onChanged(false);
}

void PttLine::SwitchOff() {
  WriteBits(false);
  if (keyed_) {
    keyed_ = false;
    if (onChanged) onChanged(false);
  }
}

}  // namespace qn
