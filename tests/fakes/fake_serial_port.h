// A serial device in memory: what the program writes is recorded with the
// virtual time it was written at, the test feeds what the device receives,
// and the device's faults and limits (busy, missing, a full input buffer, an
// output that never drains) are set by the test.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fakes/virtual_time.h"
#include "platform/serial_port.h"

namespace qn::fakes {

class FakeSerialPort : public SerialPort {
 public:
  explicit FakeSerialPort(VirtualClock& clock) : clock_(clock) {}

  void SetListener(SerialPortListener* l) override { listener = l; }
  bool Open(const std::string& device, const SerialSettings& settings, int handshake, SerialFault& fault,
            std::string& description) override;
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  std::size_t InBufferCount() const override { return input.size(); }
  std::size_t InBufferSize() const override { return inBufferSize; }
  std::size_t OutBufferCount() const override { return outPending; }
  std::string ReadAll() override;
  void DiscardInput() override { input.clear(); }
  void Write(std::string_view bytes) override;
  void SetBreak(bool on) override { breaks.emplace_back(clock_.NowMs(), on); }
  std::vector<std::string> PresentDevices() const override { return present; }

  // Test side: bytes arrive at the port (cut at the buffer size, as a real
  // buffer drops what it cannot hold), then the arrival event.
  void Feed(std::string_view bytes);
  // The device took everything written.
  void Drain();
  // The adapter was pulled out.
  void Vanish();
  // Everything written since the last call.
  std::string TakeWritten();

  SerialPortListener* listener = nullptr;
  bool open = false;
  std::string device;
  SerialSettings settings;
  int handshake = -1;
  SerialFault openFault = SerialFault::None;  // the next Open fails with this
  std::vector<std::string> present;
  std::size_t inBufferSize = 1024;
  std::string input;
  std::string written;
  std::vector<std::pair<std::int64_t, std::string>> writes;  // time, bytes
  std::vector<std::pair<std::int64_t, bool>> breaks;
  // Output stays counted as waiting until Drain (else it leaves at once).
  bool holdOutput = false;
  std::size_t outPending = 0;
  int opens = 0;

 private:
  VirtualClock& clock_;
  std::size_t taken_ = 0;
};

}  // namespace qn::fakes
