// A serial device as the aux port sees it: open a device by its path with a
// settings value and a handshake, buffered counts both ways, read everything
// that arrived, write, break, and the events of arrival, drain and failure.
// The Qt adapter sits on Qt Serial Port; tests use a fake or a pty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

// "9600,N,8,1": baud, parity (N, E, O, M, S), data bits, stop bits.
struct SerialSettings {
  int baud = 9600;
  char parity = 'N';
  int dataBits = 8;
  int stopBits = 1;
};

// Why an open failed, or why an open port stopped.
enum class SerialFault {
  None,
  NotFound,          // no such device
  Busy,              // another program holds it
  PermissionDenied,  // the user may not open it (on Debian: not in dialout)
  Vanished,          // it went away while open (a USB adapter pulled out)
  Other,
};

class SerialPortListener {
 public:
  virtual ~SerialPortListener() = default;
  // Characters arrived (InBufferCount grew).
  virtual void OnSerialArrival() = 0;
  // Everything written has left (OutBufferCount is 0).
  virtual void OnSerialDrained() = 0;
  // The open port failed; it is closed already.
  virtual void OnSerialFault(SerialFault fault, const std::string& description) = 0;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  virtual void SetListener(SerialPortListener* listener) = 0;
  // handshake: 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both (taken as RTS/CTS).
  // A device that refuses the modem-line controls (a pty) still opens.
  // On failure returns false and fills fault and description.
  virtual bool Open(const std::string& device, const SerialSettings& settings, int handshake,
                    SerialFault& fault, std::string& description) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Characters received and not yet read; never more than InBufferSize.
  virtual std::size_t InBufferCount() const = 0;
  virtual std::size_t InBufferSize() const = 0;
  // Characters written and not yet taken by the device.
  virtual std::size_t OutBufferCount() const = 0;
  virtual std::string ReadAll() = 0;
  // Throws away what was received and not yet read.
  virtual void DiscardInput() = 0;
  virtual void Write(std::string_view bytes) = 0;
  virtual void SetBreak(bool on) = 0;
  // The serial devices present now, by path (for the dialog's list).
  virtual std::vector<std::string> PresentDevices() const = 0;
};

}  // namespace qn
