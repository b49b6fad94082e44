#include "serial/tnc_dialogue.h"

#include <gtest/gtest.h>

#include "core/app_settings.h"
#include "fakes/fake_prompter.h"
#include "fakes/fake_serial_port.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"
#include "serial/aux_port.h"

namespace qn {
namespace {

using fakes::FakeSerialPort;

struct TncRig {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakePrompter prompter;
  FakeSerialPort port{clock};
  AuxPort aux{&port, loop};
  TncDialogue tnc{aux, loop, clock, prompter};
  // Bytes the TNC sends at a virtual time.
  std::vector<std::pair<std::int64_t, std::string>> script;

  explicit TncRig(int handshake = 0) {
    AppSettings s;
    s.auxEnabled = true;
    s.auxPortList = "1";
    s.auxPortSettings = "9600,N,8,1";
    s.auxEscapeString = "+++";
    s.auxHandshake = static_cast<std::int16_t>(handshake);
    aux.Configure(s, 1, {}, true);
    EXPECT_TRUE(aux.Open());
    // As in every dialogue: the replies are the dialogue's, not the receive handler's.
    aux.State().tncDialogue = true;
    loop.onStep = [this](std::int64_t now) {
      for (auto& [at, bytes] : script) {
        if (!bytes.empty() && now >= at) {
          port.Feed(bytes);
          bytes.clear();
        }
      }
    };
  }
};

TEST(TncControl, SixSequencesOfBothModesByteForByteWithTheirWaits) {
  const char* tapr[] = {"\x03\r", "\x03\x03\x03", "", "\x01OHON\x17", "RESTART\r", "*"};
  const char* ded[] = {"\x11\x18\x1b\r", "\x1b", "", "\x1b", "\x11", "*"};
  const int before[] = {0, 1100, 0, 0, 0, 0};
  const int total[] = {0, 2200, 1100, 0, 1100, 1100};
  for (TncMode mode : {TncMode::Tapr, TncMode::Wa8ded}) {
    for (int code = 1; code <= 6; ++code) {
      TncRig rig;
      rig.tnc.SetMode(mode);
      rig.tnc.SendTncControl(code);
      const char* want = (mode == TncMode::Tapr ? tapr : ded)[code - 1];
      EXPECT_EQ(rig.port.written, std::string(want)) << "code " << code;
      if (!rig.port.writes.empty()) {
        EXPECT_EQ(rig.port.writes[0].first, before[code - 1]) << "code " << code;
      }
      EXPECT_EQ(rig.clock.NowMs(), total[code - 1]) << "code " << code;
      if (code == 3) {
        ASSERT_EQ(rig.port.breaks.size(), 2u);
        EXPECT_EQ(rig.port.breaks[0].first, 0);
        EXPECT_TRUE(rig.port.breaks[0].second);
        EXPECT_EQ(rig.port.breaks[1].first, 1100);
        EXPECT_FALSE(rig.port.breaks[1].second);
      }
    }
  }
}

TEST(TncReply, WindowsOf1100And100MsAndTheNormalisedText) {
  {
    TncRig rig;
    EXPECT_EQ(rig.tnc.ReadTncReply(), "");
    EXPECT_EQ(rig.clock.NowMs(), 1100);
  }
  {
    // Arrivals at 500 and 580 ms: the window closes 100 ms after the last.
    TncRig rig;
    rig.script = {{500, "abc\r\n\r"}, {580, "cmd:"}};
    EXPECT_EQ(rig.tnc.ReadTncReply(), "abc\r\ncmd:");
    EXPECT_EQ(rig.clock.NowMs(), 680);
  }
  {
    // A pause longer than 100 ms after data ends the reply; the rest waits.
    TncRig rig;
    rig.script = {{100, "one\r"}, {400, "two\r"}};
    EXPECT_EQ(rig.tnc.ReadTncReply(), "one\r\n");
    EXPECT_EQ(rig.clock.NowMs(), 200);
  }
  EXPECT_EQ(NormaliseTncReply("line\r\n\rtail"), "line\r\ntail");
  EXPECT_EQ(NormaliseTncReply("\n\n"), "");
}

TEST(TncReply, AFullBufferWithoutHandshakeIsThrownAwayAndReadingGoesOn) {
  TncRig rig;
  rig.port.inBufferSize = 16;
  rig.script = {{200, std::string(40, 'x')}, {250, "ok\r"}};
  EXPECT_EQ(rig.tnc.ReadTncReply(), "ok\r\n");
  TncRig held(2);
  held.port.inBufferSize = 16;
  held.script = {{200, std::string(40, 'x')}};
  EXPECT_EQ(held.tnc.ReadTncReply(), std::string(16, 'x'));
}

TEST(WakeTnc, StopsAtTheFirstAnswerAndIsEmptyAfterSixSilences) {
  TncRig silent;
  EXPECT_EQ(silent.tnc.WakeTnc("", DataFolder()), "");
  EXPECT_EQ(silent.port.written, std::string("\x03\r\x03\x03\x03\x01OHON\x17RESTART\r*"));
  EXPECT_FALSE(silent.aux.State().tncDialogue);

  TncRig answering;
  // The answer to code 2 (sent at 1100 ms).
  answering.script = {{1300, "\r\ncmd:"}};
  EXPECT_EQ(answering.tnc.WakeTnc("", DataFolder()), "cmd:");
  EXPECT_EQ(answering.port.written, std::string("\x03\r\x03\x03\x03"));
}

TEST(InitFile, NotationSkippedLinesPausesAndEscape) {
  TncRig rig;
  rig.tnc.SendTncInitLine("^C^<MYCALL/+a/b^^\\^");
  EXPECT_EQ(rig.port.written, std::string("\x03\x1bMYCALL+a/b") + std::string(1, '\0') + "^\r");
  rig.port.TakeWritten();
  rig.port.writes.clear();
  rig.tnc.SendTncInitLine("MY+CALL");
  ASSERT_EQ(rig.port.writes.size(), 7u);
  EXPECT_EQ(rig.port.writes[1].first, 0);
  EXPECT_EQ(rig.port.writes[2].first, 1000);
  EXPECT_EQ(rig.port.TakeWritten(), "MYCALL\r");
  rig.tnc.SendTncInitLine("^1x^");  // "1" is below 64: nothing; a final "^" stands for nothing
  EXPECT_EQ(rig.port.TakeWritten(), "x\r");

  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  folder.WriteAtomic("tnc.ini", "' comment\r\n\r\n  MYCALL ZX0AB  \r\nMON OFF\r\n");
  TncRig file;
  std::vector<std::string> status, shown;
  file.tnc.setStatus = [&](const std::string& t) { status.push_back(t); };
  file.tnc.showReply = [&](const std::string& t) { shown.push_back(t); };
  file.script = {{300, "MYCALL was NOCALL\r\ncmd:"}};
  std::string reply = file.tnc.WakeTnc("tnc.ini", folder);
  EXPECT_EQ(file.port.written.substr(0, 21), "MYCALL ZX0AB\rMON OFF\r");
  EXPECT_EQ(status, (std::vector<std::string>{kInitStatus, ""}));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "MYCALL was NOCALL\r\ncmd:");

  // Escape while it runs: "Stop current process?", Yes stops it.
  std::string many;
  for (int i = 0; i < 50; ++i) many += "LINE" + std::to_string(i) + "\r\n";
  folder.WriteAtomic("long.ini", many);
  TncRig stopped;
  stopped.prompter.buttonAnswers.push_back(MsgResult::Yes);
  stopped.loop.onStep = [&](std::int64_t now) {
    if (now >= 3000 && stopped.prompter.shown.empty()) {
      EXPECT_TRUE(stopped.tnc.OfferToStop());
    }
  };
  stopped.tnc.WakeTnc("long.ini", folder);
  EXPECT_EQ(stopped.prompter.shown.at(0).text, kStopQuestion);
  EXPECT_EQ(stopped.port.written.find("LINE5\r"), std::string::npos);
  EXPECT_FALSE(stopped.tnc.OfferToStop());

  // A file of a megabyte or of binary bytes is not sent; waking goes on.
  folder.WriteAtomic("big.ini", std::string(1 << 20, 'A'));
  folder.WriteAtomic("bin.ini", std::string("AB\0CD\r\n", 7));
  for (const char* name : {"big.ini", "bin.ini"}) {
    TncRig r;
    std::string said;
    r.tnc.setStatus = [&](const std::string& t) { said = t; };
    r.tnc.WakeTnc(name, folder);
    EXPECT_NE(said.find("is not sent"), std::string::npos) << name;
    EXPECT_EQ(r.port.written.substr(0, 2), "\x03\r") << name;
  }
}

TEST(DisconnectTnc, TheSequenceOfEachModeWithItsReplyReads) {
  TncRig tapr;
  tapr.tnc.DisconnectTnc();
  ASSERT_EQ(tapr.port.writes.size(), 3u);
  EXPECT_EQ(tapr.port.written, "\x03\rD\rD\r");
  EXPECT_EQ(tapr.port.writes[1].first, 1100);
  EXPECT_EQ(tapr.port.writes[2].first, 2200);
  TncRig ded;
  ded.tnc.SetMode(TncMode::Wa8ded);
  ded.tnc.DisconnectTnc();
  EXPECT_EQ(ded.port.written,
            "\x1b"
            "D\r\x1b"
            "D\r");
  EXPECT_EQ(ded.port.writes[1].first, 2200);
}

TEST(CommandMode, CaptionsAndBytesOfBothModes) {
  TncRig rig;
  EXPECT_EQ(rig.tnc.ModeCaption(), kTaprCommandCaption);
  rig.tnc.ToggleCommandMode();
  EXPECT_EQ(rig.tnc.ModeCaption(), kTaprConverseCaption);
  EXPECT_EQ(rig.port.TakeWritten(), "\x03");
  rig.tnc.ToggleCommandMode();
  EXPECT_EQ(rig.port.TakeWritten(), "CONV\r");
  rig.tnc.SetMode(TncMode::Wa8ded);
  EXPECT_EQ(rig.tnc.ModeCaption(), kDedEscCaption);
  rig.tnc.ToggleCommandMode();
  EXPECT_EQ(rig.port.TakeWritten(), "\x1b");
}

TEST(SendToAuxPort, WaitsForTheDrainAtMostSixtySecondsAndKeepsOrder) {
  TncRig rig;
  rig.port.holdOutput = true;
  rig.aux.SendToAuxPort("first");
  rig.loop.onStep = [&](std::int64_t now) {
    if (now == 2000) rig.port.Drain();
  };
  rig.aux.SendToAuxPort("second");
  EXPECT_EQ(rig.port.writes.back().first, 2000);
  // A device that never takes anything: the wait gives up after 60 s, once.
  rig.loop.onStep = nullptr;
  rig.aux.SendToAuxPort("third");
  EXPECT_EQ(rig.port.writes.back().first, 62000);
  rig.aux.SendToAuxPort("fourth");
  EXPECT_EQ(rig.port.writes.back().first, 62000);
  EXPECT_EQ(rig.port.written, "firstsecondthirdfourth");
  rig.aux.SendLineToAuxPort("a\r\nb\n");
  EXPECT_EQ(rig.port.written.substr(22), "a\rb\r");
}

TEST(ConnectNotice, MarkedNoticesNameTheNodeWhole) {
  TncNotice n = ParseTncConnectNotice("*** CONNECTED to ZX0NODE", "Quillnet [TNC:1]");
  EXPECT_EQ(n.node, "ZX0NODE");
  EXPECT_FALSE(n.reconnected);
  n = ParseTncConnectNotice("cmd:*** CONNECTED to ZX0NODE-5\r\n", "Quillnet [TNC:1]");
  EXPECT_EQ(n.node, "ZX0NODE-5");
  n = ParseTncConnectNotice("ZX0NODE} Reconnected to ZX9HUB", "Quillnet [TNC:1]>ZX0NODE");
  EXPECT_EQ(n.node, "ZX9HUB");
  EXPECT_TRUE(n.reconnected);
  n = ParseTncConnectNotice("ZX0NODE-1 connected to ZX9HUB", "Quillnet [TNC:1]>ZX0NODE-1");
  EXPECT_EQ(n.node, "ZX9HUB");
  EXPECT_TRUE(ParseTncConnectNotice("He said he connected to ZX9HUB", "Quillnet [TNC:1]").node.empty());
  EXPECT_EQ(TncNoticeCaption("Quillnet [TNC:1]>OLD", "NEW"), "Quillnet [TNC:1]>NEW");
}

}  // namespace
}  // namespace qn
