// One body of tests for the TcpSocket port, run against the scripted fake and
// the Qt adapter on loopback, so that the session's tests on the fake rest on
// what a real socket does.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_socket.h"
#include "fakes/virtual_time.h"
#include "platform/qt/qt_clock.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_tcp_socket.h"

namespace {

struct Recorder : qn::TcpSocketListener {
  int connected = 0;
  int closed = 0;
  int ready = 0;
  std::size_t arrived = 0;
  std::vector<std::string> errors;
  void OnConnected() override { ++connected; }
  void OnDataArrived(std::size_t n) override { arrived += n; }
  void OnReadyToSend() override { ++ready; }
  void OnClosed() override { ++closed; }
  void OnError(int, const std::string& description) override { errors.push_back(description); }
};

// The fake's far end is the test itself.
struct FakeEnv {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakeSocketFactory factory;

  std::string OpenPort() { return "7300"; }
  std::string ClosedPort() { return "7301"; }
  void Answer() { factory.made.back()->AcceptConnection(); }
  void RefuseIfScripted() { factory.made.back()->Refuse(); }
  void PeerSend(const std::string& bytes) { factory.made.back()->Arrive(bytes); }
  std::string PeerReceived() { return factory.made.back()->sent; }
  void PeerClose() { factory.made.back()->RemoteClose(); }
};

// The Qt adapter's far end is a server on 127.0.0.1 in the same event loop.
struct QtEnv {
  qn::QtClock clock;
  qn::QtEventLoop loop;
  qn::QtSocketFactory factory;
  QTcpServer server;
  QTcpSocket* peer = nullptr;
  std::string received;

  QtEnv() { server.listen(QHostAddress::LocalHost, 0); }
  std::string OpenPort() { return std::to_string(server.serverPort()); }
  std::string ClosedPort() {
    QTcpServer gone;
    gone.listen(QHostAddress::LocalHost, 0);
    auto port = gone.serverPort();
    gone.close();
    return std::to_string(port);
  }
  void Answer() {
    loop.WaitUntil(5000, [&] { return server.hasPendingConnections(); });
    peer = server.nextPendingConnection();
  }
  void RefuseIfScripted() {}
  void PeerSend(const std::string& bytes) {
    peer->write(bytes.data(), static_cast<qint64>(bytes.size()));
    peer->flush();
  }
  std::string PeerReceived() {
    if (peer) received += peer->readAll().toStdString();
    return received;
  }
  void PeerClose() { peer->close(); }
};

template <typename Env>
class TcpSocketContract : public ::testing::Test {
 protected:
  Env env;
  Recorder rec;
  std::unique_ptr<qn::TcpSocket> sock = env.factory.CreateSocket();
  bool Wait(const std::function<bool()>& done) { return env.loop.WaitUntil(5000, done); }
  void ConnectAndAnswer() {
    sock->SetListener(&rec);
    sock->Connect("127.0.0.1", env.OpenPort());
    env.Answer();
    ASSERT_TRUE(Wait([&] { return rec.connected == 1; }));
  }
};

using Envs = ::testing::Types<FakeEnv, QtEnv>;
TYPED_TEST_SUITE(TcpSocketContract, Envs);

TYPED_TEST(TcpSocketContract, BytesBothWaysThenTheRemoteClose) {
  this->ConnectAndAnswer();
  EXPECT_TRUE(this->sock->IsConnected());
  EXPECT_EQ(this->sock->RemoteAddress(), "127.0.0.1");
  EXPECT_EQ(this->sock->Send("sh/dx\n"), 6u);
  EXPECT_TRUE(this->Wait([&] { return this->env.PeerReceived() == "sh/dx\n"; }));
  this->env.PeerSend("DX de K1TTT:  14025.0  JA1XYZ\r\n");
  ASSERT_TRUE(this->Wait([&] { return this->rec.arrived >= 31; }));
  EXPECT_EQ(this->sock->ReadAvailable(), "DX de K1TTT:  14025.0  JA1XYZ\r\n");
  EXPECT_EQ(this->sock->ReadAvailable(), "");
  this->env.PeerClose();
  EXPECT_TRUE(this->Wait([&] { return this->rec.closed == 1; }));
  EXPECT_FALSE(this->sock->IsConnected());
  EXPECT_TRUE(this->rec.errors.empty());
}

TYPED_TEST(TcpSocketContract, RefusedConnectIsAnErrorNotAConnect) {
  this->sock->SetListener(&this->rec);
  this->sock->Connect("127.0.0.1", this->env.ClosedPort());
  this->env.RefuseIfScripted();
  EXPECT_TRUE(this->Wait([&] { return !this->rec.errors.empty(); }));
  EXPECT_EQ(this->rec.connected, 0);
  EXPECT_FALSE(this->sock->IsConnected());
}

TYPED_TEST(TcpSocketContract, NothingIsSentBeforeTheConnectionAndNoEventsAfterClose) {
  this->sock->SetListener(&this->rec);
  this->sock->Connect("127.0.0.1", this->env.OpenPort());
  EXPECT_EQ(this->sock->Send("too early"), 0u);
  this->sock->Close();
  EXPECT_FALSE(
      this->env.loop.WaitUntil(200, [&] { return this->rec.connected > 0 || this->rec.closed > 0; }));
  EXPECT_TRUE(this->rec.errors.empty());
}

}  // namespace
