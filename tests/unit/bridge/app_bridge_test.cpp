// Bridging and serving others as the assembly wires them: an "ACCEPT" site
// through the instance, the crypto option and the link crypto on the session,
// two copies bridging through their aux ports without a spot going round, and
// the robot answering a channel line.
#include <gtest/gtest.h>

#include "app/app.h"
#include "bridge/bridging.h"
#include "core/site_file.h"
#include "core/text.h"
#include "fakes/fake_link_endpoint.h"
#include "fakes/fake_socket.h"
#include "fakes/fake_tcp_listener.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/script_engine.h"
#include "traffic/classifier.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z\r\n";

SiteRecord Site(const std::string& name, const std::string& address, const std::string& port) {
  SiteRecord r;
  r.SetName(name);
  r.SetAddress(address);
  r.SetPortType('1');
  r.SetCustomPort(port);
  r.SetKeepAliveEnabled(false);
  r.SetKeepAlivePeriod("0");
  return r;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

struct Copy {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  fakes::FakeTcpListenerFactory listeners;
  std::vector<std::string> aux;

  Copy() {
    t.sockets = &sockets;
    t.listeners = &listeners;
  }
  ~Copy() { t.app.reset(); }
  qn::App& Instance() { return *t.app; }
  fakes::FakeSocket& Sock() { return *sockets.made.back(); }
  std::string Window(WindowId id) { return t.app->Window(id).Text(); }
  void ConnectTo(const std::string& host) {
    t.StartWithCall("telnet://" + host);
    Sock().remoteName = host;
    Sock().AcceptConnection();
  }
  void OpenAuxPort() {
    AuxPortSide& side = t.app->Bridges()->aux;
    side.open = [] { return true; };
    side.send = [this](const std::string& text) { aux.push_back(text); };
  }
};

TEST(AppServerModeTest, AnAcceptSiteServesOneCallerAndListensAgain) {
  Copy c;
  c.t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile({Site("ACCEPT", "127.0.0.1", "7300")}));
  c.t.StartWithCall("/S ACCEPT");
  fakes::FakeTcpListener& listener = *c.listeners.made.back();
  EXPECT_EQ(listener.address, "127.0.0.1");
  EXPECT_EQ(c.Instance().Frame().Status(), "Waiting for incoming calls (7300)...");
  EXPECT_EQ(c.Instance().Frame().Title(), "Quillnet [PORT:7300]");
  EXPECT_TRUE(c.Instance().Connection()->Modes().serverMode);

  fakes::FakeSocket* caller = listener.Call("127.0.0.1");
  ASSERT_TRUE(c.Instance().Connection()->Connected());
  caller->Arrive(kSpot);
  EXPECT_EQ(Count(c.Window(WindowId::Spots), "DL1XYZ"), 1u);
  c.Instance().TypeLine("welcome");
  EXPECT_NE(caller->sent.find("welcome\n"), std::string::npos);
  EXPECT_EQ(listener.Call()->sent, ServerMode::kBusy);

  caller->RemoteClose();
  EXPECT_NE(c.Window(WindowId::Terminal).find("***  DISCONNECTED"), std::string::npos);
  c.t.loop.Advance(ServerMode::kRearmMs);
  EXPECT_EQ(c.Instance().Frame().Status(), "Waiting for incoming calls (7300)...");
  listener.Call();
  EXPECT_TRUE(c.Instance().Connection()->Connected());

  // Calling a node instead gives the port back.
  c.Instance().Connection()->ConnectHost("node.example:7300");
  c.Sock().AcceptConnection();
  EXPECT_FALSE(c.Instance().Connection()->Modes().serverMode);
  EXPECT_FALSE(c.Instance().Bridges()->server->Listening());
}

TEST(AppServerModeTest, ACallerFloodingWithoutLineEndsThenVanishingLeavesTheCopyServing) {
  Copy c;
  c.t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile({Site("ACCEPT_here", "", "7300")}));
  c.t.StartWithCall("/S ACCEPT_here");
  fakes::FakeTcpListener& listener = *c.listeners.made.back();
  EXPECT_EQ(listener.address, "");
  fakes::FakeSocket* caller = listener.Call();
  const std::string chunk(64 * 1024, 'x');
  for (int i = 0; i < 160; ++i) caller->Arrive(chunk);  // 10 MB, no line end
  caller->Arrive("half a li");
  caller->RemoteClose();
  EXPECT_LT(c.Window(WindowId::Terminal).size(), 2 * TextWindow::kLimit);
  c.t.loop.Advance(ServerMode::kRearmMs);
  EXPECT_EQ(c.Instance().Frame().Status(), "Waiting for incoming calls (7300)...");
  listener.Call()->Arrive(kSpot);
  EXPECT_EQ(Count(c.Window(WindowId::Spots), "DL1XYZ"), 1u);
}

TEST(AppCryptoTest, TheOptionNeedsAValidTableAndThenCiphersTheSession) {
  Copy plain;
  plain.ConnectTo("node.example");
  EXPECT_FALSE(plain.Instance().Frame().Item("mnucry").enabled);
  EXPECT_FALSE(plain.Instance().RunMenu("Options/Crypto"));

  Copy c;
  c.t.Folder().WriteAtomic("crypto.txt", "3\r\n5\r\n1\r\n7\r\n2\r\n6\r\n4\r\n2\r\n");
  c.ConnectTo("node.example");
  EXPECT_TRUE(c.Instance().Frame().Item("mnucry").enabled);
  ASSERT_TRUE(c.Instance().RunMenu("Options/Crypto"));
  EXPECT_TRUE(c.Instance().Frame().Item("mnucry").checked);
  const LinkCrypto& table = c.Instance().Bridges()->crypto;
  c.Instance().TypeLine("sh/dx");
  EXPECT_EQ(c.Sock().sent, CryptText("sh/dx\n", table.send));
  c.Sock().Arrive(CryptText(kSpot, table.send));
  EXPECT_EQ(Count(c.Window(WindowId::Spots), "DL1XYZ"), 1u);
  // The aux port's bit is not set in this table.
  EXPECT_EQ(c.Instance().Bridges()->CryptForAux("abc", true, true), "abc");
}

TEST(AppBridgeTest, TwoCopiesBridgingThroughTheirPortsDoNotLoop) {
  Copy a, b;
  a.ConnectTo("node1.example");
  b.ConnectTo("node2.example");
  a.OpenAuxPort();
  b.OpenAuxPort();
  for (Copy* c : {&a, &b}) {
    SiteFlags& f = c->Instance().Connection()->MutableFlags();
    f.bridgeFromRemote = f.bridgeToRemote = true;
  }
  a.Instance().Pipeline()->ProcessSpot(kSpot, SpotSource::Main);
  ASSERT_EQ(a.aux.size(), 1u);
  EXPECT_EQ(a.aux[0], "DX/K1ABC 14025.0 DL1XYZ cq !*G4TST\r");
  // The far side reads it from its port as a bridge line.
  b.Instance().LineClassifier()->ClassifyIncomingLine(a.aux[0] + "\n", SpotSource::Serial);
  EXPECT_EQ(Count(b.Window(WindowId::Spots), "DL1XYZ"), 1u);
  // It goes into that copy's session, and not back to the port it came from.
  EXPECT_NE(b.Sock().sent.find("DX/K1ABC 14025.0 DL1XYZ cq !*G4TST\r\n"), std::string::npos);
  EXPECT_TRUE(b.aux.empty());
  // The node echoes it back to the first copy: a duplicate, bridged no more.
  a.Sock().Arrive(kSpot);
  EXPECT_EQ(a.aux.size(), 1u);
  EXPECT_EQ(Count(a.Window(WindowId::Spots), "DL1XYZ"), 1u);
}

TEST(AppBridgeTest, ExchangeOffStopsTrafficToThePortButNotEscapedText) {
  Copy c;
  c.ConnectTo("node.example");
  c.OpenAuxPort();
  c.Instance().Pipeline()->ProcessSpot(kSpot, SpotSource::Main);
  ASSERT_EQ(c.aux.size(), 1u);
  EXPECT_EQ(c.aux[0], kSpot.substr(0, kSpot.size() - 2) + "\a\a\r\n");
  c.Sock().Arrive("To ALL de K1ABC: qrv\r\n");
  EXPECT_EQ(c.aux.back(), "To ALL de K1ABC: qrv\r\n");
  c.Instance().TypeLine("+++MYCALL G4TST");
  EXPECT_EQ(c.aux.back(), "MYCALL G4TST");
  EXPECT_EQ(c.Sock().sent.find("MYCALL"), std::string::npos);
}

// Text for the port never goes to the node; with no port open the user is
// told it went nowhere.
TEST(AppBridgeTest, EscapedTextWithoutAPortIsNotSentAndSaysSo) {
  Copy c;
  c.ConnectTo("node.example");
  c.Instance().TypeLine("+++MYCALL G4TST");
  EXPECT_EQ(c.Sock().sent.find("MYCALL"), std::string::npos);
  EXPECT_EQ(c.Instance().Frame().Status(), "The aux port is not open: the line was not sent");
}

TEST(AppBridgeTest, ARelayCopyForwardsTheOtherCopysSpotsToItsNodeOnce) {
  Copy a, relay;
  fakes::FakeLinkNetwork network{a.t.loop};
  fakes::FakeLinkEndpoint endA{network, 1}, endRelay{network, 2};
  a.t.links = &endA;
  relay.t.links = &endRelay;
  a.ConnectTo("node1.example");
  relay.ConnectTo("node2.example");
  relay.Instance().Connection()->CustomTitle() = "RELAY1";
  relay.Instance().Frame().SetTitle("Quillnet [RELAY1]");
  relay.Instance().Connection()->MutableFlags().ddeIn = true;
  a.t.registry.others = {relay.t.registry.ownTitle};
  relay.t.registry.others = {a.t.registry.ownTitle};

  a.Sock().Arrive(kSpot);
  a.t.loop.RunPosted();
  EXPECT_EQ(Count(relay.Sock().sent, "DX de K1ABC:     14025.0  DL1XYZ"), 1u);
  // Handed out as a link spot as well: the relay's duplicate test keeps it to one.
  a.Instance().Connection()->MutableFlags().ddeOut = true;
  const std::string second =
      "DX de K1ABC:      7005.0  VK9XX        up 2                           1201Z\r\n";
  a.Sock().Arrive(second);
  a.t.loop.RunPosted();
  EXPECT_EQ(Count(relay.Sock().sent, "VK9XX"), 1u);
  // The relay offers nothing back.
  EXPECT_EQ(Count(a.Sock().sent, "DX de"), 0u);
  a.t.app.reset();
  relay.t.app.reset();
}

TEST(AppRobotTest, AChannelRequestIsAnsweredAndTheSpotComesIn) {
  Copy c;
  c.ConnectTo("irc.example");
  c.Instance().Connection()->CustomTitle() = "DXROBOT";
  c.Instance().Script()->robotTitleSet();
  c.Sock().Arrive("<K1ABC>: !DX 14025.5 JA1XYZ big signal\r\n");
  EXPECT_NE(c.Sock().sent.find("/M K1ABC Your DX has been submitted\n"), std::string::npos);
  EXPECT_NE(c.Sock().sent.find("DX/K1ABC-@ 14025.5 JA1XYZ big signal\n"), std::string::npos);
  EXPECT_EQ(Count(c.Window(WindowId::Spots), "JA1XYZ"), 1u);
  // No HAMINFO in the data folder: nothing started, nothing said.
  EXPECT_TRUE(c.t.launcher.calls.empty());
}

}  // namespace
}  // namespace qn
