// One body of tests for the TcpListener port, run against the fake and the Qt
// adapter on loopback (IPv4, and IPv6 where the machine has it), so that the
// server-mode tests on the fake rest on what a real listener does.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>

#include "fakes/fake_tcp_listener.h"
#include "fakes/virtual_time.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_tcp_listener.h"

namespace {

struct Heard : qn::TcpListenerListener {
  int incoming = 0;
  void OnIncoming() override { ++incoming; }
};

struct Data : qn::TcpSocketListener {
  std::size_t arrived = 0;
  int closed = 0;
  void OnConnected() override {}
  void OnDataArrived(std::size_t n) override { arrived += n; }
  void OnReadyToSend() override {}
  void OnClosed() override { ++closed; }
  void OnError(int, const std::string&) override {}
};

// The fake's callers are the test itself.
struct FakeEnv {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakeTcpListenerFactory factory;
  qn::fakes::FakeSocket* caller = nullptr;

  int BusyPort() {
    factory.busyPorts.insert(7300);
    return 7300;
  }
  bool HasIpv6() { return true; }
  void Call(const std::string& address, int) {
    caller = factory.made.back()->Call(address == "::1" ? "::1" : "127.0.0.1");
  }
  bool CallerRefused() { return caller == nullptr; }
  void CallerSend(const std::string& bytes) { caller->Arrive(bytes); }
  std::string CallerReceived() { return caller->sent; }
  void CallerClose() { caller->RemoteClose(); }
};

struct QtEnv {
  qn::QtEventLoop loop;
  qn::QtListenerFactory factory;
  QTcpServer holder;
  std::unique_ptr<QTcpSocket> caller;
  bool refused = false;
  std::string received;

  int BusyPort() {
    holder.listen(QHostAddress::LocalHost, 0);
    return holder.serverPort();
  }
  bool HasIpv6() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0);
  }
  void Call(const std::string& address, int port) {
    caller = std::make_unique<QTcpSocket>();
    refused = false;
    QObject::connect(caller.get(), &QTcpSocket::errorOccurred, [this] { refused = true; });
    caller->connectToHost(QString::fromStdString(address), static_cast<quint16>(port));
    loop.WaitUntil(5000, [&] { return refused || caller->state() == QAbstractSocket::ConnectedState; });
  }
  bool CallerRefused() { return refused; }
  void CallerSend(const std::string& bytes) {
    caller->write(bytes.data(), static_cast<qint64>(bytes.size()));
    caller->flush();
  }
  std::string CallerReceived() {
    received += caller->readAll().toStdString();
    return received;
  }
  void CallerClose() { caller->close(); }
};

template <typename Env>
class TcpListenerContract : public ::testing::Test {
 protected:
  Env env;
  Heard heard;
  Data data;
  std::unique_ptr<qn::TcpListener> listener = env.factory.CreateListener();
  bool Wait(const std::function<bool()>& done) { return env.loop.WaitUntil(5000, done); }
  std::unique_ptr<qn::TcpSocket> TakeCaller(const std::string& address) {
    listener->SetListener(&heard);
    int before = heard.incoming;
    env.Call(address, listener->LocalPort());
    EXPECT_TRUE(Wait([&] { return heard.incoming > before; }));
    return listener->Accept();
  }
};

using Envs = ::testing::Types<FakeEnv, QtEnv>;
TYPED_TEST_SUITE(TcpListenerContract, Envs);

TYPED_TEST(TcpListenerContract, ACallerIsTakenAsAConnectedSocket) {
  ASSERT_TRUE(this->listener->Listen("127.0.0.1", 0));
  EXPECT_TRUE(this->listener->IsListening());
  EXPECT_GT(this->listener->LocalPort(), 0);
  auto sock = this->TakeCaller("127.0.0.1");
  ASSERT_NE(sock, nullptr);
  EXPECT_TRUE(sock->IsConnected());
  EXPECT_EQ(sock->RemoteAddress(), "127.0.0.1");
  EXPECT_EQ(this->listener->Accept(), nullptr);
  sock->SetListener(&this->data);
  EXPECT_EQ(sock->Send("welcome\r\n"), 9u);
  EXPECT_TRUE(this->Wait([&] { return this->env.CallerReceived() == "welcome\r\n"; }));
  this->env.CallerSend("sh/dx\r\n");
  ASSERT_TRUE(this->Wait([&] { return this->data.arrived >= 7; }));
  EXPECT_EQ(sock->ReadAvailable(), "sh/dx\r\n");
  this->env.CallerClose();
  EXPECT_TRUE(this->Wait([&] { return this->data.closed == 1; }));
  EXPECT_FALSE(sock->IsConnected());
}

TYPED_TEST(TcpListenerContract, EveryInterfaceTakesBothFamilies) {
  ASSERT_TRUE(this->listener->Listen("", 0));
  EXPECT_NE(this->TakeCaller("127.0.0.1"), nullptr);
  if (!this->env.HasIpv6()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  auto six = this->TakeCaller("::1");
  ASSERT_NE(six, nullptr);
  EXPECT_NE(six->RemoteAddress().find("::1"), std::string::npos);
}

TYPED_TEST(TcpListenerContract, ABusyPortIsRefusedWithAReason) {
  int busy = this->env.BusyPort();
  EXPECT_FALSE(this->listener->Listen("127.0.0.1", busy));
  EXPECT_FALSE(this->listener->IsListening());
  EXPECT_FALSE(this->listener->ErrorText().empty());
  EXPECT_FALSE(this->listener->Listen("", 70000));
}

TYPED_TEST(TcpListenerContract, AfterCloseNobodyGetsIn) {
  ASSERT_TRUE(this->listener->Listen("127.0.0.1", 0));
  int port = this->listener->LocalPort();
  this->listener->Close();
  EXPECT_FALSE(this->listener->IsListening());
  this->env.Call("127.0.0.1", port);
  EXPECT_TRUE(this->env.CallerRefused());
}

}  // namespace
