// The rig adapters against Hamlib itself: the rigctld client against a real
// "rigctld -m 1" (Hamlib's dummy rig) started here on loopback, and the
// library adapter on the dummy rig; then rigctld's faults played by small
// servers of the test (refusing, closing, garbage, silence).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <string>

#include "core/frame_state.h"
#include "fakes/fake_prompter.h"
#include "platform/linux/hamlib_rig.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_rig_factory.h"
#include "platform/qt/qt_rigctld_rig.h"
#include "rig/rig_control.h"

namespace {

using qn::RigAccess;

// A port nothing listens on right now.
int FreePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

// Hamlib's dummy rig behind rigctld on a loopback port of its own.
class DummyRigctld {
 public:
  DummyRigctld() {
    for (int attempt = 0; attempt < 5 && !ready_; ++attempt) {
      port_ = FreePort();
      process_.start("rigctld", {"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port_)});
      if (!process_.waitForStarted(5000)) return;
      // Up once it accepts a connection; a port taken in between ends the process.
      for (int i = 0; i < 50 && process_.state() == QProcess::Running; ++i) {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", static_cast<quint16>(port_));
        if (s.waitForConnected(200)) {
          ready_ = true;
          break;
        }
        QTest::qWait(50);
      }
      if (!ready_) Stop();
    }
  }
  ~DummyRigctld() { Stop(); }
  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
  }
  bool Ready() const { return ready_; }
  int Port() const { return port_; }

  // Asks rigctld directly what the rig is set to: "+f" gives "Frequency: 14025000".
  // A busy machine can keep rigctld from answering a new connection for a
  // while: ask again rather than read nothing as the answer.
  std::string Ask(const std::string& command, const std::string& field) {
    std::string answer;
    for (int attempt = 0; attempt < 3 && answer.empty(); ++attempt) answer = AskOnce(command, field);
    return answer;
  }
  std::string AskOnce(const std::string& command, const std::string& field) {
    QTcpSocket s;
    s.connectToHost("127.0.0.1", static_cast<quint16>(port_));
    if (!s.waitForConnected(2000)) return "no connection";
    s.write((command + "\n").c_str());
    std::string answer;
    for (int i = 0; i < 40 && answer.find("RPRT") == std::string::npos; ++i) {
      s.waitForReadyRead(100);
      answer += s.readAll().toStdString();
    }
    auto at = answer.find(field + ": ");
    if (at == std::string::npos) return answer;
    at += field.size() + 2;
    return answer.substr(at, answer.find('\n', at) - at);
  }

 private:
  QProcess process_;
  int port_ = 0;
  bool ready_ = false;
};

struct Control {
  qn::QtEventLoop loop;
  qn::FrameState frame;
  qn::fakes::FakePrompter prompter;
  qn::QtRigFactory factory;
  qn::RigControl control{loop, frame, prompter, &factory, [] { return std::string("JN58TD"); }};

  void Use(int port) {
    qn::RigSettings s;
    s.use = RigAccess::Rigctld;
    s.port = port;
    control.Configure(s);
  }
  bool WaitForRig(const std::string& text, int ms = 8000) {
    return QTest::qWaitFor([&] { return frame.Rig() == text; }, ms);
  }
};

TEST(RigctldClient, ClickOnARealSpotLineSetsTheDummyRig) {
  DummyRigctld rigctld;
  ASSERT_TRUE(rigctld.Ready()) << "rigctld (libhamlib-utils) did not start";
  Control c;
  c.Use(rigctld.Port());
  ASSERT_TRUE(c.WaitForRig("Rig: 145000.00 FM")) << c.frame.Rig();  // the dummy rig's start

  EXPECT_TRUE(c.control.TuneToLine(
      "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z\r\n"));
  ASSERT_TRUE(c.WaitForRig("Rig: 14025.00 CW, split 14027.00")) << c.frame.Rig();
  EXPECT_EQ(rigctld.Ask("+f", "Frequency"), "14025000");
  EXPECT_EQ(rigctld.Ask("+m", "Mode"), "CW");
  EXPECT_EQ(rigctld.Ask("+s", "Split"), "1");
  EXPECT_EQ(rigctld.Ask("+i", "TX Frequency"), "14027000");
  // The spot window's marks follow the next reading.
  EXPECT_TRUE(QTest::qWaitFor([&] { return c.control.InPassband(14025100); }, 3000));
  EXPECT_FALSE(c.control.InPassband(14027000));

  EXPECT_TRUE(
      c.control.TuneToLine("DX de OH6BG-#:   14075.2  JA1XYZ       FT8 -12 dB 1234 Hz             0815Z"));
  ASSERT_TRUE(c.WaitForRig("Rig: 14074.00 PKTUSB")) << c.frame.Rig();
  EXPECT_EQ(rigctld.Ask("+f", "Frequency"), "14074000");
  EXPECT_EQ(rigctld.Ask("+m", "Mode"), "PKTUSB");
  EXPECT_EQ(rigctld.Ask("+s", "Split"), "0");

  // The radio goes away mid-session: the status says so, no box, and it comes back.
  rigctld.Stop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return c.frame.Rig().find("rigctld at") != std::string::npos; }, 8000))
      << c.frame.Rig();
  EXPECT_TRUE(c.prompter.shown.empty());
}

TEST(RigctldClient, ReadsAndTestsThroughTheDialogsRules) {
  DummyRigctld rigctld;
  ASSERT_TRUE(rigctld.Ready());
  Control c;
  qn::RigSettings s;
  s.use = RigAccess::Rigctld;
  s.port = rigctld.Port();
  std::string shown;
  bool ok = false;
  // rigctld now and then drops a new connection at once on a busy machine;
  // the user would press Test again.
  for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
    shown.clear();
    c.control.Test(s, [&](bool good, const std::string& text) {
      ok = good;
      shown = text;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.empty(); }, 8000));
  }
  EXPECT_TRUE(ok);
  EXPECT_EQ(shown, "The rig reads 145000.00 kHz FM.");
}

// A stand-in for rigctld that misbehaves in one way.
class BadServer : public QObject {
 public:
  enum class Way { Close, Garbage, Silent };
  explicit BadServer(Way way) : way_(way) {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        s->setParent(this);
        if (way_ == Way::Close) s->close();
        if (way_ == Way::Garbage)
          connect(s, &QTcpSocket::readyRead, s, [s] {
            s->readAll();
            s->write("HTTP/1.0 400 Bad Request\r\n\r\n<html>no</html>\n");
          });
      }
    });
  }
  int Port() const { return server_.serverPort(); }

 private:
  Way way_;
  QTcpServer server_;
};

std::string ReadError(qn::Rig& rig) {
  std::string error;
  bool done = false;
  rig.Read([&](const qn::RigReading& r) {
    EXPECT_FALSE(r.ok);
    error = r.error;
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 8000));
  return error;
}

TEST(RigctldClient, FaultsEndInAClearErrorWithoutHanging) {
  int nobody = FreePort();
  qn::QtRigctldRig refused("127.0.0.1", nobody);
  EXPECT_EQ(ReadError(refused), "rigctld at 127.0.0.1:" + std::to_string(nobody) +
                                    " refused the connection (is rigctld running?)");

  BadServer closing(BadServer::Way::Close);
  qn::QtRigctldRig closed("127.0.0.1", closing.Port());
  EXPECT_NE(ReadError(closed).find("closed the connection"), std::string::npos);

  BadServer garbage(BadServer::Way::Garbage);
  qn::QtRigctldRig confused("127.0.0.1", garbage.Port());
  EXPECT_NE(ReadError(confused).find("not rigctld's protocol"), std::string::npos);

  BadServer silent(BadServer::Way::Silent);
  qn::QtRigctldRig waiting("127.0.0.1", silent.Port(), 1000, 300);
  // Several requests pile up behind the silent one; each gets its answer.
  int failed = 0;
  for (int i = 0; i < 3; ++i)
    waiting.Tune({14025000, "CW", false, 0}, [&](const qn::RigResult& r) {
      EXPECT_NE(r.error.find("no answer from"), std::string::npos);
      ++failed;
    });
  EXPECT_TRUE(QTest::qWaitFor([&] { return failed == 3; }, 5000));

  // Closed with a request outstanding: nothing is called afterwards.
  bool called = false;
  waiting.Read([&](const qn::RigReading&) { called = true; });
  waiting.Close();
  QTest::qWait(500);
  EXPECT_FALSE(called);
}

TEST(HamlibLibrary, DummyRigOnAWorkerThread) {
  qn::RigSettings s;
  s.use = RigAccess::Hamlib;
  s.model = 1;
  qn::QtRigFactory factory;
  auto rig = factory.Create(s);
  ASSERT_TRUE(rig);
  bool tuned = false;
  rig->Tune({7185000, "LSB", true, 7200000}, [&](const qn::RigResult& r) {
    EXPECT_TRUE(r.ok) << r.error;
    tuned = true;
  });
  qn::RigReading reading;
  rig->Read([&](const qn::RigReading& r) { reading = r; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return tuned && reading.ok; }, 8000)) << reading.error;
  EXPECT_EQ(reading.hz, 7185000);
  EXPECT_EQ(reading.mode, "LSB");

  s.model = 987654;
  auto unknown = factory.Create(s);
  EXPECT_NE(ReadError(*unknown).find("does not know rig model 987654"), std::string::npos);
}

}  // namespace
