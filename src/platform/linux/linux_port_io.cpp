#include "platform/linux/linux_port_io.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qn {

namespace {

std::string Reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

LinuxPortIo::~LinuxPortIo() {
  for (auto& [path, fd] : parports_) {
    if (fd < 0) continue;
    ::ioctl(fd, PPRELEASE);
    ::close(fd);
  }
  if (serialFd_ >= 0) ::close(serialFd_);
}

int LinuxPortIo::OpenParport(const std::string& path, std::string& error) {
  auto it = parports_.find(path);
  if (it != parports_.end()) return it->second;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    error = Reason("cannot open it");
  } else if (::ioctl(fd, PPCLAIM) != 0) {
    error = Reason("cannot claim the port");
    ::close(fd);
    fd = -1;
  }
  // A failure is remembered: the port is not tried again on every key.
  parports_[path] = fd;
  return fd;
}

int LinuxPortIo::ParportFor(std::uint16_t address) {
  std::string error;
  if (!parportDevice_.empty()) return OpenParport(parportDevice_, error);
  return OpenParport(address == 0x278 ? "/dev/parport1" : "/dev/parport0", error);
}

bool LinuxPortIo::SelectDevice(const std::string& device, bool useDtr, std::string& error) {
  if (device.rfind("/dev/parport", 0) == 0) {
    parportDevice_ = device;
    return OpenParport(device, error) >= 0;
  }
  if (serialFd_ >= 0) ::close(serialFd_);
  serialFd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (serialFd_ < 0) {
    error = Reason("cannot open it");
    return false;
  }
  useDtr_ = useDtr;
  // Opening a serial port raises both lines; the transmitter must not go on the air.
  if (!SetSerialLine(false)) {
    error = Reason(useDtr ? "cannot set its DTR line" : "cannot set its RTS line");
    ::close(serialFd_);
    serialFd_ = -1;
    return false;
  }
  serialByte_ = 0;
  return true;
}

bool LinuxPortIo::SetSerialLine(bool on) {
  int bits = useDtr_ ? TIOCM_DTR : TIOCM_RTS;
  return ::ioctl(serialFd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

std::optional<std::uint8_t> LinuxPortIo::Read(std::uint16_t address) {
  if (serialFd_ >= 0) return serialByte_;
  int fd = ParportFor(address);
  unsigned char b = 0;
  if (fd < 0 || ::ioctl(fd, PPRDATA, &b) != 0) return std::nullopt;
  return b;
}

bool LinuxPortIo::Write(std::uint16_t address, std::uint8_t value) {
  if (serialFd_ >= 0) {
    if (!SetSerialLine(value & 1)) return false;
    serialByte_ = value;
    return true;
  }
  int fd = ParportFor(address);
  unsigned char b = value;
  return fd >= 0 && ::ioctl(fd, PPWDATA, &b) == 0;
}

}  // namespace qn
