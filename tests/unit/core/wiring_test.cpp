// Each session kind built the way the program builds it: the events that
// several subsystems listen to must reach the ones that need them, or a spot
// would silently go nowhere.
#include <gtest/gtest.h>

#include "app/app.h"
#include "bridge/bridging.h"
#include "core/replay.h"
#include "core/site_list.h"
#include "core/site_record.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "serial/aux_port.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/sender.h"
#include "sound/speech_player.h"
#include "traffic/spot_pipeline.h"
#include "traffic/traffic_windows.h"

namespace qn {
namespace {

void ExpectTrafficConsumers(App& app) {
  EXPECT_GE(app.Events().spotLine.Count(), 1u) << "spot lines reach no pipeline";
  EXPECT_GE(app.Events().announcementShown.Count(), 1u) << "announcements make no sound";
  EXPECT_GE(app.Events().talkShown.Count(), 1u) << "talks get no answer";
  // Clicks and keys in the traffic windows reach the subsystems behind them.
  const TrafficWindows::Steps& steps = app.TrafficWin()->steps;
  EXPECT_TRUE(steps.escape && steps.chatSession && steps.lastTalker && steps.presetSearch && steps.iotaInfo &&
              steps.prefixInfo && steps.rightClickSearch);
  ASSERT_NE(app.Player(), nullptr);
  EXPECT_TRUE(app.Player()->lastSpot) << "F9 would repeat nothing";
}

TEST(Wiring, TelnetInstance) {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  t.sockets = &sockets;
  App& app = t.StartWithCall("");
  ExpectTrafficConsumers(app);
  ASSERT_NE(app.Connection(), nullptr);
  ASSERT_NE(app.ReceivePath(), nullptr);
  ASSERT_NE(app.SendPath(), nullptr);
  EXPECT_TRUE(app.ReceivePath()->Telnet());
  // The speech player starts after every batch of received bytes.
  EXPECT_GE(app.Connection()->batchHandled.Count(), 1u);
  EXPECT_TRUE(app.ReceivePath()->steps.classify);
  EXPECT_TRUE(app.ReceivePath()->steps.lineAlert);
  EXPECT_TRUE(app.ReceivePath()->scriptMatcher);
  // What the connected site asks of spots and talks, and the site list's choice.
  EXPECT_TRUE(app.Pipeline()->Hooks().site);
  EXPECT_TRUE(app.Pipeline()->Talk().Hooks().chatSession);
  ASSERT_NE(app.Sites(), nullptr);
  EXPECT_TRUE(app.Sites()->connectCurrentSite) << "choosing a site would connect nothing";
}

TEST(Wiring, ReplayInstance) {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  t.sockets = &sockets;
  App& app = t.StartWithCall("/DEMO");
  ExpectTrafficConsumers(app);
  ASSERT_NE(app.ReplayMode(), nullptr);
  EXPECT_TRUE(app.ReplayMode()->onSpotLine);
}

TEST(Wiring, TncAndWebInstances) {
  for (const char* command : {"/TNC", "/WEB"}) {
    fakes::TestApp t;
    App& app = t.StartWithCall(command);
    ExpectTrafficConsumers(app);
    // A TNC session runs under connection control over its serial link.
    EXPECT_EQ(app.Connection() != nullptr, std::string(command) == "/TNC") << command;
    if (app.Connection()) {
      EXPECT_FALSE(app.Connection()->Link().SpeaksTelnet());
    }
  }
}

// The aux port beside a telnet session carries what the bridge and the RF
// gateway send, through the port's link crypto, and hands its lines to the
// robot and the gateway.
TEST(Wiring, TheBridgeReachesTheAuxPort) {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  fakes::FakeSerialPort serial(t.clock);
  t.sockets = &sockets;
  t.serial = &serial;
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.auxEnabled = true;
  s.auxPortList = "1";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  App& app = t.Make();
  app.StartUp("");
  ASSERT_TRUE(app.Aux()->PortOpen());
  AuxPortSide& side = app.Bridges()->aux;
  ASSERT_TRUE(side.open && side.send && side.sendLine && side.inputOnly && side.discardInput);
  EXPECT_TRUE(side.open());
  side.send("DX/G4TST 14025.0 DL1XYZ cq\r\n");
  EXPECT_NE(serial.TakeWritten().find("DX/G4TST 14025.0 DL1XYZ"), std::string::npos);
  EXPECT_TRUE(app.Aux()->encipherSent && app.Aux()->decipherReceived && app.Aux()->robotCommand);
  EXPECT_GE(app.Aux()->rfLine.Count(), 1u) << "the RF gateway hears nothing of the port";
  t.app.reset();
}

// A spot line handed to the instance's events ends in the spot window once,
// however many listeners there are.
TEST(Wiring, OneSpotLineIsFiledOnce) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  int accepted = 0;
  app.Pipeline()->accepted.Subscribe([&](const SpotRecord&, SpotSource) { ++accepted; });
  app.Events().spotLine.Fire(
      "DX de K1ABC:     14025.0  DL1XYZ       cq                             1234Z\r\n", SpotSource::Main);
  EXPECT_EQ(accepted, 1);
  const std::string& spots = app.Window(WindowId::Spots).Text();
  EXPECT_EQ(spots.find("DL1XYZ"), spots.rfind("DL1XYZ"));
}

// IRC requests typed on an IRC site go to the channel's robot; without a
// robot nickname they go to the channel rather than to an empty target.
TEST(Wiring, IrcRequestsHaveATargetThroughTheProgramsWiring) {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  t.sockets = &sockets;
  App& app = t.StartWithCall("");
  SiteRecord site;
  site.SetName("cqdx-irc");
  site.SetAddress("irc.example");
  site.SetPortType('0');
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile({site}));
  ASSERT_TRUE(app.Connection()->ConnectSite("cqdx-irc", true));
  fakes::FakeSocket& sock = *sockets.made.back();
  sock.AcceptConnection();
  ASSERT_TRUE(app.Connection()->Modes().irc);
  app.SendPath()->Send("sh/dx\n");
  EXPECT_EQ(sock.sent, "PRIVMSG #CQDX :sh/dx\n");
  sock.sent.clear();
  app.Connection()->MutableModes().robotNick = "DXBOT";
  app.SendPath()->Send("sh/dx\n");
  EXPECT_EQ(sock.sent, "PRIVMSG DXBOT :sh/dx\n");
}

}  // namespace
}  // namespace qn
