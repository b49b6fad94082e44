// The SerialPort port on Qt Serial Port. Qt reads the device as the event
// loop runs; its read-ahead is bounded so that a flooding device waits in the
// kernel instead of growing our memory.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <memory>

#include "platform/serial_port.h"

namespace qn {

class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT
 public:
  static constexpr std::size_t kInBufferSize = 8192;

  QtSerialPort();
  ~QtSerialPort() override;

  void SetListener(SerialPortListener* listener) override { listener_ = listener; }
  bool Open(const std::string& device, const SerialSettings& settings, int handshake, SerialFault& fault,
            std::string& description) override;
  void Close() override;
  bool IsOpen() const override;
  std::size_t InBufferCount() const override;
  std::size_t InBufferSize() const override { return kInBufferSize; }
  std::size_t OutBufferCount() const override;
  std::string ReadAll() override;
  void DiscardInput() override;
  void Write(std::string_view bytes) override;
  void SetBreak(bool on) override;
  std::vector<std::string> PresentDevices() const override;

 private:
  void OnError(QSerialPort::SerialPortError error);

  std::unique_ptr<QSerialPort> port_;
  SerialPortListener* listener_ = nullptr;
  std::string device_;
};

}  // namespace qn
