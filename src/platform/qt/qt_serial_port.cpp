#include "platform/qt/qt_serial_port.h"

#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>

namespace qn {

namespace {

QSerialPort::Parity ToParity(char p) {
  switch (p) {
    case 'E':
      return QSerialPort::EvenParity;
    case 'O':
      return QSerialPort::OddParity;
    case 'M':
      return QSerialPort::MarkParity;
    case 'S':
      return QSerialPort::SpaceParity;
    default:
      return QSerialPort::NoParity;
  }
}

QSerialPort::DataBits ToDataBits(int bits) {
  switch (bits) {
    case 5:
      return QSerialPort::Data5;
    case 6:
      return QSerialPort::Data6;
    case 7:
      return QSerialPort::Data7;
    default:
      return QSerialPort::Data8;
  }
}

}  // namespace

QtSerialPort::QtSerialPort() = default;

QtSerialPort::~QtSerialPort() { Close(); }

bool QtSerialPort::Open(const std::string& device, const SerialSettings& settings, int handshake,
                        SerialFault& fault, std::string& description) {
  Close();
  device_ = device;
  port_ = std::make_unique<QSerialPort>();
  port_->setPortName(QString::fromStdString(device));
  port_->setReadBufferSize(static_cast<qint64>(kInBufferSize));
  if (!port_->open(QIODevice::ReadWrite)) {
    const auto error = port_->error();
    const std::string qtText = port_->errorString().toStdString();
    port_.reset();
    std::error_code ec;
    if (error == QSerialPort::DeviceNotFoundError || !std::filesystem::exists(device, ec)) {
      fault = SerialFault::NotFound;
      description = device + ": no such device";
    } else if (error == QSerialPort::PermissionError) {
      if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        fault = SerialFault::PermissionDenied;
        description = device +
                      ": permission denied (on Debian, serial devices belong to the dialout group: "
                      "sudo adduser $USER dialout, then log in again)";
      } else {
        fault = SerialFault::Busy;
        description = device + " is in use by another program";
      }
    } else {
      fault = SerialFault::Other;
      description = device + ": " + qtText;
    }
    return false;
  }
  // Settings a device refuses (a pty has no baud rate or modem lines) do not
  // stop it from carrying bytes, so they are not a failure to open.
  port_->setBaudRate(settings.baud);
  port_->setParity(ToParity(settings.parity));
  port_->setDataBits(ToDataBits(settings.dataBits));
  port_->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
  port_->setFlowControl(handshake >= 2   ? QSerialPort::HardwareControl
                        : handshake == 1 ? QSerialPort::SoftwareControl
                                         : QSerialPort::NoFlowControl);
  port_->setDataTerminalReady(true);
  port_->clearError();
  connect(port_.get(), &QSerialPort::readyRead, this, [this] {
    if (listener_) listener_->OnSerialArrival();
  });
  connect(port_.get(), &QSerialPort::bytesWritten, this, [this](qint64) {
    if (port_ && port_->bytesToWrite() == 0 && listener_) listener_->OnSerialDrained();
  });
  connect(port_.get(), &QSerialPort::errorOccurred, this,
          [this](QSerialPort::SerialPortError e) { OnError(e); });
  fault = SerialFault::None;
  description.clear();
  return true;
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  // Only a lost device ends the port; refused controls and the like do not.
  // A device that went away can also show as a read that fails (a hung-up
  // pty reads end of file): Qt would report that again and again at once.
  if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !port_) return;
  const std::string text = device_ + " went away (was the adapter unplugged?)";
  // Closing inside Qt's own signal is not safe: the port goes after it.
  QSerialPort* dying = port_.release();
  disconnect(dying, nullptr, this, nullptr);
  dying->close();
  dying->deleteLater();
  if (listener_) listener_->OnSerialFault(SerialFault::Vanished, text);
}

void QtSerialPort::Close() {
  if (!port_) return;
  disconnect(port_.get(), nullptr, this, nullptr);
  port_->close();
  port_.reset();
}

bool QtSerialPort::IsOpen() const { return port_ && port_->isOpen(); }

std::size_t QtSerialPort::InBufferCount() const {
  if (!port_) return 0;
  return std::min(static_cast<std::size_t>(port_->bytesAvailable()), kInBufferSize);
}

std::size_t QtSerialPort::OutBufferCount() const {
  return port_ ? static_cast<std::size_t>(port_->bytesToWrite()) : 0;
}

std::string QtSerialPort::ReadAll() {
  if (!port_) return {};
  QByteArray bytes = port_->read(static_cast<qint64>(kInBufferSize));
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtSerialPort::DiscardInput() {
  if (!port_) return;
  port_->clear(QSerialPort::Input);
  port_->readAll();
}

void QtSerialPort::Write(std::string_view bytes) {
  if (!port_ || bytes.empty()) return;
  port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtSerialPort::SetBreak(bool on) {
  if (port_) port_->setBreakEnabled(on);
}

std::vector<std::string> QtSerialPort::PresentDevices() const {
  std::set<std::string> found;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    found.insert(info.systemLocation().toStdString());
  std::vector<std::string> list(found.begin(), found.end());
  // The stable names of USB adapters, which survive a replug.
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/dev/serial/by-id", ec))
    list.push_back(e.path().string());
  return list;
}

}  // namespace qn
