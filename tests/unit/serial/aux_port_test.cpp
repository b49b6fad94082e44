#include "serial/aux_port.h"

#include <gtest/gtest.h>

#include "core/site_record.h"
#include "fakes/fake_prompter.h"
#include "fakes/fake_serial_port.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "serial/tnc_dialogue.h"
#include "session/connection_control.h"
#include "unit/serial/aux_harness.h"

namespace qn {
namespace {

using testing::AuxHarness;

const std::string kStream =
    "hello\r\nDX de ZX1AB:  14025.0  ZX2CD  cq  1200Z\r\n\x1b[7mbold\x1b[0m\a\rPC11^14025.0^ZX2CD^\n"
    "please +++ gb7xx.example:7300\r\nand +++ D \r\nte\bxt";

TEST(AuxReceive, TheSameLinesAndStepsAtEveryChunkSplit) {
  AuxHarness whole;
  whole.traffic = true;
  whole.Feed(kStream, {});
  const std::vector<std::string> want = {"L:hello\r\n",
                                         "L:\r\n",
                                         "L:DX de ZX1AB:  14025.0  ZX2CD  cq  1200Z\r\n",
                                         "L:\r\n",
                                         "L:bold\r\n",
                                         "P:PC11^14025.0^ZX2CD^",
                                         "C:gb7xx.example:7300",
                                         "L:\r\n",
                                         "D",
                                         "L:\r\n"};
  EXPECT_EQ(whole.events, want);
  EXPECT_EQ(whole.aux.State().lineBuffer, "text");
  for (std::size_t size = 1; size <= kStream.size(); ++size) {
    AuxHarness split;
    split.traffic = true;
    split.Feed(kStream, {size});
    EXPECT_EQ(split.events, want) << "pieces of " << size;
    EXPECT_EQ(split.shown, whole.shown) << "pieces of " << size;
  }
}

TEST(AuxReceive, InputOnlyIgnoresTheEscapeAndLinesWithoutTrafficGoToTheGateway) {
  AuxHarness inputOnly(true);
  inputOnly.traffic = true;
  inputOnly.Feed("+++ d\r", {});
  EXPECT_EQ(inputOnly.events, (std::vector<std::string>{"L:+++ d\r\n"}));
  AuxHarness gateway;
  gateway.Feed("sh/dx\r", {});
  EXPECT_EQ(gateway.events, (std::vector<std::string>{"R:sh/dx"}));
  EXPECT_EQ(gateway.shown, "sh/dx\r\n");
}

TEST(AuxReceive, ASecondArrivalWhileTheHandlerRunsIsReadByTheRunningHandler) {
  AuxHarness h;
  h.traffic = true;
  bool once = false;
  h.aux.classify = [&](const std::string& l) {
    h.events.push_back("L:" + l);
    if (!once) {
      once = true;
      h.port.Feed("second\r");  // its arrival event finds the handler busy
    }
  };
  h.Feed("first\r", {});
  EXPECT_EQ(h.events, (std::vector<std::string>{"L:first\r\n", "L:second\r\n"}));
}

TEST(AuxReceive, AFloodOfRandomBytesEndsAndKeepsNoMoreThanALine) {
  AuxHarness h;
  std::string noise;
  unsigned x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245u + 12345u;
    noise += static_cast<char>((x >> 16) & 0xFF);
  }
  h.port.inBufferSize = 4096;
  h.Feed(noise, {4096});
  EXPECT_LT(h.aux.State().lineBuffer.size(), 28000u);
  EXPECT_LE(h.aux.State().scriptText.size(), 28000u);
}

TEST(AuxReceive, APulledAdapterIsReportedAndNothingMoreIsSent) {
  AuxHarness h;
  std::string said;
  h.aux.onFault = [&](const std::string& d) { said = d; };
  h.port.Vanish();
  EXPECT_NE(said.find("went away"), std::string::npos);
  EXPECT_FALSE(h.aux.PortOpen());
  h.aux.SendToAuxPort("lost");
  EXPECT_EQ(h.port.written, "");
}

// A TNC copy on the fake device: what start-up says and does.
struct TncApp {
  fakes::TestApp t;
  fakes::FakeSerialPort port{t.clock};
  explicit TncApp(bool enabled, const std::string& list = "1") {
    t.serial = &port;
    AppSettings s;
    s.ownCallsign = "G4TST";
    s.auxEnabled = enabled;
    s.auxPortList = list;
    s.auxPortSettings = "9600,N,8,1";
    s.auxEscapeString = "+++";
    s.tncMode = 1;
    t.Folder().WriteAtomic("qlntnc.cfg", s.Serialise());
    t.Folder().WriteAtomic("SERIAL.TXT", "1 /dev/ttyUSB7\r\n");
  }
  // The copy goes first: it closes the device on its way out.
  ~TncApp() { t.app.reset(); }
  App& Start() {
    t.Make().StartUp("/TNC");
    return *t.app;
  }
};

TEST(TncStartUp, NoPortSilentTncAndAnsweringTnc) {
  {
    TncApp tnc(false);
    tnc.Start();
    ASSERT_FALSE(tnc.t.prompter.shown.empty());
    EXPECT_NE(tnc.t.prompter.shown[0].text.find("No serial port could be open"), std::string::npos);
    EXPECT_EQ(tnc.port.opens, 0);
  }
  {
    TncApp tnc(true);
    App& app = tnc.Start();
    EXPECT_EQ(tnc.port.device, "/dev/ttyUSB7");
    ASSERT_EQ(tnc.t.prompter.shown.size(), 1u);
    EXPECT_EQ(tnc.t.prompter.shown[0].text, "The TNC is not responding; fix and restart Quillnet");
    EXPECT_EQ(app.Frame().Title(), "Quillnet [TNC:1]");
  }
  {
    TncApp quiet(true, "-1");
    quiet.Start();
    EXPECT_TRUE(quiet.t.prompter.shown.empty());
  }
  {
    TncApp tnc(true);
    tnc.t.loop.onStep = [&](std::int64_t now) {
      if (now >= 200 && tnc.port.input.empty() && tnc.port.written == "\x03\r") tnc.port.Feed("\r\ncmd:");
    };
    App& app = tnc.Start();
    tnc.t.loop.onStep = nullptr;
    EXPECT_TRUE(tnc.t.prompter.shown.empty());
    EXPECT_NE(app.Window(WindowId::Terminal).Text().find("cmd:"), std::string::npos);
    EXPECT_EQ(app.Frame().Item("mnuoptref").caption, kTaprCommandCaption);
    EXPECT_TRUE(app.RunMenu("Options/TNC Command Mode"));
    EXPECT_EQ(tnc.port.TakeWritten().substr(2), "\x03");
    EXPECT_EQ(app.Frame().Item("mnuoptref").caption, kTaprConverseCaption);
    // IRC over the TNC: on quietly, then off.
    EXPECT_TRUE(app.PressKey("Ctrl+Shift+F3"));
    EXPECT_TRUE(app.Connection()->Modes().irc);
    EXPECT_TRUE(app.PressKey("Ctrl+Shift+F2"));
    EXPECT_FALSE(app.Connection()->Modes().irc);
    // Typed lines go to the TNC ending in CR; what it sends is shown and classified.
    app.TypeLine("C ZX0NODE");
    EXPECT_EQ(tnc.port.TakeWritten(), "C ZX0NODE\r");
    tnc.port.Feed("*** CONNECTED to ZX0NODE\r\nDX de ZX1AB:     14025.0  ZX2CD        cq up");
    tnc.port.Feed("                           1200Z\r\n");
    tnc.t.loop.RunPosted();
    EXPECT_EQ(app.Frame().Title(), "Quillnet [TNC:1]>ZX0NODE");
    // Byte 255 is text on a serial line, not the start of a telnet command.
    tnc.port.Feed("caf\xff\xff\r\n");
    EXPECT_NE(app.Window(WindowId::Terminal).Text().find("caf\xff\xff\r\n"), std::string::npos);
    EXPECT_NE(app.Window(WindowId::Spots).Text().find("ZX2CD"), std::string::npos);
    // IRC through the TNC: Ctrl+Shift+F1 registers through the port, each
    // line ending in CR, with the callsign where a socket would give a host.
    tnc.port.TakeWritten();
    EXPECT_TRUE(app.PressKey("Ctrl+Shift+F1"));
    EXPECT_TRUE(app.Connection()->Modes().irc);
    const std::string registration = tnc.port.TakeWritten();
    EXPECT_EQ(registration.rfind("NICK G4TST\r", 0), 0u) << registration;
    EXPECT_NE(registration.find("\rUSER G4TST "), std::string::npos) << registration;
  }
}

TEST(TncSession, TheTncsDisconnectNoticeEndsTheSessionAndTheSiteReconnects) {
  TncApp tnc(true);
  SiteRecord site;
  site.SetName("zx0node");
  site.SetAddress("ZX0NODE");
  site.SetPortType('1');
  site.SetCustomPort("23");
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetAutoFlags(3);  // use script, auto reconnection
  tnc.t.Folder().WriteAtomic("qlntnc.sit", std::string(site.View()));
  tnc.t.Folder().WriteAtomic(ScriptFileName("zx0node", true), "/S C ZX0NODE\r\n");
  tnc.t.loop.onStep = [&](std::int64_t) {
    if (tnc.port.written == "\x03\r" && tnc.port.input.empty()) tnc.port.Feed("\r\ncmd:");
  };
  tnc.t.Make().StartUp("/TNC /S zx0node");
  App& app = *tnc.t.app;
  tnc.t.loop.onStep = nullptr;
  tnc.t.loop.Advance(100);
  EXPECT_EQ(tnc.port.TakeWritten(), "\x03\rC ZX0NODE\r");
  EXPECT_TRUE(app.Frame().Connected());
  tnc.port.Feed("\r\n*** CONNECTED to ZX0NODE\r\n");
  tnc.port.Feed("Hello\r\n*** DISCONNECTED\r\ncmd:");
  EXPECT_FALSE(app.Frame().Connected());
  EXPECT_NE(app.Window(WindowId::Terminal).Text().find("***  DISCONNECTED"), std::string::npos);
  EXPECT_EQ(app.Frame().Title(), "Quillnet [TNC:1]");
  // No disconnect sequence: the TNC had dropped the link itself.
  EXPECT_EQ(tnc.port.TakeWritten(), "");
  // The next minute's tick connects again by the script.
  tnc.t.loop.Advance(60000 + 100);
  EXPECT_EQ(tnc.port.TakeWritten(), "C ZX0NODE\r");
  EXPECT_TRUE(app.Frame().Connected());
  // The user's disconnect runs the TNC's sequence.
  ASSERT_TRUE(app.RunMenu("Session/Disconnect"));
  EXPECT_EQ(tnc.port.TakeWritten(), "\x03\rD\rD\r");
}

// The port beside a telnet session: its escape lines connect and disconnect
// the session, and an input-only port feeds the spot window.
TEST(AuxBesideTelnet, EscapeLinesDriveTheSessionAndInputOnlyFeedsTraffic) {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  fakes::FakeSerialPort port{t.clock};
  t.sockets = &sockets;
  t.serial = &port;
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.auxEnabled = true;
  s.auxPortList = "1;+1";
  s.auxPortSettings = "4800";
  s.auxEscapeString = "+++";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  App& app = t.Make();
  app.StartUp("");
  EXPECT_EQ(port.device, "/dev/ttyS0");
  EXPECT_EQ(port.settings.baud, 4800);
  port.Feed("hello from the tnc\r+++ node.example:7300\r");
  ASSERT_FALSE(sockets.made.empty());
  EXPECT_EQ(sockets.made.back()->lastHost, "node.example");
  EXPECT_EQ(sockets.made.back()->lastPort, "7300");
  EXPECT_NE(app.Window(WindowId::Terminal).Text().find("hello from the tnc\r\n"), std::string::npos);
  sockets.made.back()->AcceptConnection();
  t.loop.RunPosted();
  EXPECT_TRUE(app.Frame().Connected());
  port.Feed("+++d\r");
  EXPECT_FALSE(app.Frame().Connected());
  // Not traffic: the spot stays out of the spot window.
  port.Feed("DX de ZX1AB:     14025.0  ZX2CD        cq up                          1200Z\r");
  EXPECT_EQ(app.Window(WindowId::Spots).Text().find("ZX2CD"), std::string::npos);
  t.app.reset();

  // The second copy's "+" entry: the same line is traffic.
  fakes::FakeSerialPort second{t.clock};
  t.serial = &second;
  t.registry.others = {"Quillnet [node.example]"};
  App& copy2 = t.Make();
  copy2.StartUp("");
  second.Feed("DX de ZX1AB:     14025.0  ZX2CD        cq up                          1200Z\r+++ d\r");
  EXPECT_NE(copy2.Window(WindowId::Spots).Text().find("ZX2CD"), std::string::npos);
  t.app.reset();

  // Log-port mode: said once, and the port stays closed.
  s.useLogPort = true;
  s.auxPortList = "1";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  fakes::FakeSerialPort third{t.clock};
  t.serial = &third;
  t.registry.others.clear();
  App& logCopy = t.Make();
  logCopy.StartUp("");
  EXPECT_EQ(third.opens, 0);
  EXPECT_NE(logCopy.Frame().Status().find("Log-port mode is not available on Linux"), std::string::npos);
  t.app.reset();
}

}  // namespace
}  // namespace qn
