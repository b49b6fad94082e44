#include "fakes/fake_serial_port.h"

namespace qn::fakes {

bool FakeSerialPort::Open(const std::string& dev, const SerialSettings& s, int hs, SerialFault& fault,
                          std::string& description) {
  ++opens;
  device = dev;
  settings = s;
  handshake = hs;
  if (openFault != SerialFault::None) {
    fault = openFault;
    description = dev + (openFault == SerialFault::NotFound ? ": no such device" : " cannot be opened");
    return false;
  }
  open = true;
  fault = SerialFault::None;
  description.clear();
  return true;
}

std::string FakeSerialPort::ReadAll() {
  std::string out;
  out.swap(input);
  return out;
}

void FakeSerialPort::Write(std::string_view bytes) {
  if (!open) return;
  writes.emplace_back(clock_.NowMs(), std::string(bytes));
  written.append(bytes);
  if (holdOutput) outPending += bytes.size();
}

void FakeSerialPort::Feed(std::string_view bytes) {
  if (!open) return;
  std::size_t room = inBufferSize > input.size() ? inBufferSize - input.size() : 0;
  input.append(bytes.substr(0, room));
  if (listener) listener->OnSerialArrival();
}

void FakeSerialPort::Drain() {
  outPending = 0;
  if (listener) listener->OnSerialDrained();
}

void FakeSerialPort::Vanish() {
  open = false;
  input.clear();
  if (listener)
    listener->OnSerialFault(SerialFault::Vanished, device + " went away (was the adapter unplugged?)");
}

std::string FakeSerialPort::TakeWritten() {
  std::string out = written.substr(taken_);
  taken_ = written.size();
  return out;
}

}  // namespace qn::fakes
