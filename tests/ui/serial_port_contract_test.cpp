// One body of tests for the SerialPort port, run against the fake and against
// the Qt adapter on a pseudo-terminal pair made here, so that the fake cannot
// drift from what a real device does. A pty takes a break without showing it
// and refuses modem-line control; neither is a failure to open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "fakes/fake_serial_port.h"
#include "fakes/virtual_time.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_serial_port.h"

namespace {

struct Arrivals : qn::SerialPortListener {
  int count = 0;
  qn::SerialFault fault = qn::SerialFault::None;
  void OnSerialArrival() override { ++count; }
  void OnSerialDrained() override {}
  void OnSerialFault(qn::SerialFault f, const std::string&) override { fault = f; }
};

struct FakeEnv {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakeSerialPort port{clock};
  std::string Device() { return "/dev/ttyFAKE0"; }
  std::string MissingDevice() {
    port.openFault = qn::SerialFault::NotFound;
    return "/dev/quillnet-no-such-tty";
  }
  void PeerSends(const std::string& bytes) {
    loop.Post([this, bytes] { port.Feed(bytes); });
  }
  std::string PeerReceived() { return port.written; }
};

struct QtEnv {
  qn::QtClock clock;
  qn::QtEventLoop loop;
  qn::QtSerialPort port;
  int master = -1, slave = -1;
  std::string name;
  std::string received;
  QtEnv() {
    termios raw{};
    cfmakeraw(&raw);
    char buf[128] = {};
    if (openpty(&master, &slave, buf, &raw, nullptr) == 0) name = buf;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  }
  ~QtEnv() {
    port.Close();
    ::close(master);
    ::close(slave);
  }
  std::string Device() { return name; }
  std::string MissingDevice() { return "/dev/quillnet-no-such-tty"; }
  void PeerSends(const std::string& bytes) { (void)!::write(master, bytes.data(), bytes.size()); }
  std::string PeerReceived() {
    char buf[256];
    ssize_t n;
    while ((n = ::read(master, buf, sizeof buf)) > 0) received.append(buf, static_cast<std::size_t>(n));
    return received;
  }
};

template <typename Env>
class SerialPortContract : public ::testing::Test {
 protected:
  Env env;
  Arrivals events;
  bool OpenIt(int handshake = 0) {
    env.port.SetListener(&events);
    qn::SerialFault fault = qn::SerialFault::Other;
    std::string why;
    bool ok = env.port.Open(env.Device(), qn::SerialSettings{}, handshake, fault, why);
    EXPECT_EQ(fault, ok ? qn::SerialFault::None : fault) << why;
    return ok;
  }
};

using Envs = ::testing::Types<FakeEnv, QtEnv>;
TYPED_TEST_SUITE(SerialPortContract, Envs);

TYPED_TEST(SerialPortContract, BytesBothWaysWithTheArrivalEventAndTheCounts) {
  ASSERT_TRUE(this->OpenIt());
  EXPECT_TRUE(this->env.port.IsOpen());
  this->env.port.Write(std::string("C ZX0NODE\r\x03\xff", 12));
  EXPECT_TRUE(this->env.loop.WaitUntil(3000, [&] { return this->env.port.OutBufferCount() == 0; }));
  EXPECT_TRUE(this->env.loop.WaitUntil(3000, [&] { return this->env.PeerReceived().size() == 12; }));
  EXPECT_EQ(this->env.PeerReceived(), std::string("C ZX0NODE\r\x03\xff", 12));
  this->env.PeerSends("cmd:");
  EXPECT_TRUE(this->env.loop.WaitUntil(3000, [&] { return this->env.port.InBufferCount() == 4; }));
  EXPECT_GE(this->events.count, 1);
  EXPECT_EQ(this->env.port.ReadAll(), "cmd:");
  EXPECT_EQ(this->env.port.InBufferCount(), 0u);
  this->env.PeerSends("thrown away");
  EXPECT_TRUE(this->env.loop.WaitUntil(3000, [&] { return this->env.port.InBufferCount() > 0; }));
  this->env.port.DiscardInput();
  EXPECT_EQ(this->env.port.InBufferCount(), 0u);
  EXPECT_GT(this->env.port.InBufferSize(), 0u);
}

TYPED_TEST(SerialPortContract, HardwareHandshakeAndABreakDoNotStopAPtyFromOpening) {
  ASSERT_TRUE(this->OpenIt(3));
  this->env.port.SetBreak(true);
  this->env.loop.WaitUntil(50, [] { return false; });
  this->env.port.SetBreak(false);
  EXPECT_TRUE(this->env.port.IsOpen());
  EXPECT_EQ(this->events.fault, qn::SerialFault::None);
  this->env.port.Write("after");
  EXPECT_TRUE(this->env.loop.WaitUntil(
      3000, [&] { return this->env.PeerReceived().find("after") != std::string::npos; }));
}

TYPED_TEST(SerialPortContract, AMissingDeviceIsNamedAsSuch) {
  qn::SerialFault fault = qn::SerialFault::None;
  std::string why;
  EXPECT_FALSE(this->env.port.Open(this->env.MissingDevice(), qn::SerialSettings{}, 0, fault, why));
  EXPECT_EQ(fault, qn::SerialFault::NotFound);
  EXPECT_NE(why.find("/dev/quillnet-no-such-tty"), std::string::npos);
  EXPECT_FALSE(this->env.port.IsOpen());
}

TYPED_TEST(SerialPortContract, ClosedPortTakesNothingAndReadsNothing) {
  ASSERT_TRUE(this->OpenIt());
  this->env.port.Close();
  EXPECT_FALSE(this->env.port.IsOpen());
  this->env.port.Write("lost");
  EXPECT_EQ(this->env.port.ReadAll(), "");
  EXPECT_EQ(this->env.port.InBufferCount(), 0u);
  EXPECT_EQ(this->env.port.OutBufferCount(), 0u);
}

}  // namespace

namespace {

// A USB adapter pulled out: the other end of the pty goes away.
TEST(QtSerialPortFaults, ADeviceThatGoesAwayIsReportedOnceAndClosed) {
  QtEnv env;
  Arrivals events;
  env.port.SetListener(&events);
  qn::SerialFault fault = qn::SerialFault::None;
  std::string why;
  ASSERT_TRUE(env.port.Open(env.Device(), qn::SerialSettings{}, 0, fault, why)) << why;
  ::close(env.master);
  env.master = -1;
  EXPECT_TRUE(env.loop.WaitUntil(5000, [&] { return events.fault != qn::SerialFault::None; }));
  EXPECT_EQ(events.fault, qn::SerialFault::Vanished);
  EXPECT_FALSE(env.port.IsOpen());
}

}  // namespace
