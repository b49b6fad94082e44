#include "sound/speech_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/text.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/typed_input.h"
#include "sound/speech_queue.h"
#include "traffic/spot_line.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

using Heard = std::vector<std::pair<std::string, std::int64_t>>;
constexpr char kEnd = SpeechQueue::kEndOfEntry;
constexpr char kMark = SpeechQueue::kStartMark;

// Recordings of known lengths: at 11 bytes a millisecond, 1100 bytes play 100 ms.
struct PlayerFixture : ::testing::Test {
  fakes::TestApp t;
  App* app = nullptr;
  std::int64_t t0 = 0;

  void WriteRecording(const std::string& folder, const std::string& name, std::size_t bytes) {
    std::filesystem::create_directories(t.dir.Path() / folder);
    std::ofstream(t.dir.Path() / folder / name, std::ios::binary) << std::string(bytes, '\x80');
  }
  void Start(int devices = 1) {
    for (char c : std::string("0123456789abcdefghijklmnopqrstuvwxyz"))
      WriteRecording("SOUNDS", {c, '.', 'w', 'a', 'v'}, 1100);
    for (const char* n : {"pt.wav", "st.wav", "talk.wav", "ann.wav"}) WriteRecording("SOUNDS", n, 1100);
    WriteRecording("SOUNDS", "spot.wav", 2200);
    WriteRecording("SOUNDS", "id.wav", 3300);
    WriteRecording("SOUNDS", "ALERT.WAV", 5500);
    t.sound.devices = devices;
    app = &t.StartWithCall("");
    t.sound.played.clear();
    t.portIo.writes.clear();
    t0 = t.clock.NowMs();
  }
  SpeechQueue& Q() { return app->Pipeline()->Speech(); }
  SpeechPlayer& P() { return *app->Player(); }
  void Speak(std::int64_t forMs) {
    app->StartSpeaking();
    t.loop.Advance(forMs);
  }
  Heard HeardSinceStart() const {
    Heard h;
    for (const auto& p : t.sound.played) h.emplace_back(p.file, p.atMs - t0);
    return h;
  }
  int Count(const std::string& file) const {
    int n = 0;
    for (const auto& p : t.sound.played) n += p.file == file;
    return n;
  }
  std::vector<std::pair<int, std::int64_t>> PttWrites() const {
    std::vector<std::pair<int, std::int64_t>> w;
    for (const auto& x : t.portIo.writes) w.emplace_back(x.value, x.atMs - t0);
    return w;
  }
};

TEST(SpeechElementsTest, EachCharacterHasItsRecordingOrNone) {
  EXPECT_EQ(ElementFile('K', "ALERT.WAV"), "k.wav");
  EXPECT_EQ(ElementFile('k', "ALERT.WAV"), "k.wav");
  EXPECT_EQ(ElementFile('7', "ALERT.WAV"), "7.wav");
  EXPECT_EQ(ElementFile('\x01', ""), "talk.wav");
  EXPECT_EQ(ElementFile('\x02', ""), "ann.wav");
  EXPECT_EQ(ElementFile('\x03', ""), "spot.wav");
  EXPECT_EQ(ElementFile('\x04', ""), "id.wav");
  EXPECT_EQ(ElementFile('\x06', "bell.wav"), "bell.wav");
  for (char c : {'.', '?', ','}) EXPECT_EQ(ElementFile(c, ""), "pt.wav");
  for (char c : {'/', '\\'}) EXPECT_EQ(ElementFile(c, ""), "st.wav");
  for (char c : {'-', ' ', '\x05', '\xff', '\xe9', '#'}) EXPECT_FALSE(ElementFile(c, "")) << int(c);
}

TEST(SpeechElementsTest, VolumeMapsToBothChannels) {
  EXPECT_EQ(ChannelVolume(0), 0);
  EXPECT_EQ(ChannelVolume(1), 3);
  EXPECT_EQ(ChannelVolume(6767), 13535);
  EXPECT_EQ(ChannelVolume(32767), 65535);
  EXPECT_EQ(ChannelVolume(40000), 65535);
}

TEST_F(PlayerFixture, StartUpCountsDevicesAndAppliesTheStoredVolume) {
  Start();
  EXPECT_TRUE(app->State().soundAvailable);
  ASSERT_EQ(t.sound.volumes.size(), 1u);
  EXPECT_EQ(t.sound.volumes[0], std::make_pair(std::uint16_t{13535}, std::uint16_t{13535}));
  P().SetVolume(0);
  EXPECT_EQ(t.sound.volumes.back(), std::make_pair(std::uint16_t{0}, std::uint16_t{0}));
}

TEST_F(PlayerFixture, ACopyStartedSecondLeavesVolumeAndSpeechToTheFirst) {
  t.registry.others = {"Quillnet [dxc.example.net]"};
  Start();
  EXPECT_TRUE(t.sound.volumes.empty());
  app->SetProgramInFront(false);
  EXPECT_EQ(P().AudioAllowed(), 0);
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  Speak(5000);
  EXPECT_TRUE(t.sound.played.empty());
  EXPECT_TRUE(Q().Empty());
  EXPECT_FALSE(Q().Speaking());
  // Brought to the front it speaks after all.
  app->SetProgramInFront(true);
  EXPECT_EQ(P().AudioAllowed(), 1);
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  Speak(5000);
  EXPECT_EQ(Count("k.wav"), 1);
}

TEST_F(PlayerFixture, AnotherCopyInFrontSilencesThisOne) {
  Start();
  app->SetProgramInFront(false);
  EXPECT_EQ(P().AudioAllowed(), 2);
  t.registry.anotherInFront = true;
  EXPECT_EQ(P().AudioAllowed(), 0);
  app->Settings().pttOnLpt1 = true;
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  Speak(5000);
  EXPECT_TRUE(t.sound.played.empty());
  EXPECT_TRUE(t.portIo.writes.empty());
  EXPECT_TRUE(Q().Empty());
  // Nothing is left hanging: the next spot starts a transmission again.
  t.registry.anotherInFront = false;
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  Speak(5000);
  EXPECT_EQ(Count("k.wav"), 1);
}

TEST_F(PlayerFixture, SpotIsSpelledWithEachElementTimedFromItsFileLength) {
  Start();
  app->Settings().speedFactor = 0;  // gaps of 100 ms, pauses of 1300 ms
  Q().QueueSpot("K1-A", "14.5", false, false);
  Speak(10000);
  // The hyphen has no recording: its tick passes at the interval before it.
  Heard expected{{"k.wav", 100},  {"1.wav", 300},   {"a.wav", 700}, {"1.wav", 2200},
                 {"4.wav", 2400}, {"pt.wav", 2600}, {"5.wav", 2800}};
  EXPECT_EQ(HeardSinceStart(), expected);
  EXPECT_FALSE(Q().Speaking());
  EXPECT_FALSE(P().SpeechTimer().Enabled());
}

TEST_F(PlayerFixture, SpeedFactorShortensGapsAndPauses) {
  Start();
  app->Settings().speedFactor = 2;  // no gap, pauses of 1200 ms
  Q().QueueSpot("K1", "7", false, false);
  Speak(10000);
  Heard expected{{"k.wav", 100}, {"1.wav", 200}, {"7.wav", 1500}};
  EXPECT_EQ(HeardSinceStart(), expected);
}

TEST_F(PlayerFixture, SoundfHoldsTwentyTwoKilohertzRecordings) {
  WriteRecording("SOUNDF", "k.wav", 2200);
  WriteRecording("SOUNDF", "1.wav", 2200);
  Start();
  EXPECT_TRUE(EndsWith(app->State().soundFolder, "/SOUNDF/"));
  app->Settings().speedFactor = 2;
  Q().QueueSpot("K1", "", false, false);
  Speak(5000);
  Heard expected{{"k.wav", 100}, {"1.wav", 200}};
  EXPECT_EQ(HeardSinceStart(), expected);
}

TEST_F(PlayerFixture, DoubleSpellSaysCallAndFrequencyAroundTheSpotSound) {
  Start();
  app->Settings().speedFactor = 2;
  Q().QueueSpot("K1", "7", false, true);
  Speak(20000);
  std::vector<std::string> expected{"k.wav", "1.wav", "7.wav", "spot.wav", "k.wav", "1.wav", "7.wav"};
  EXPECT_EQ(t.sound.Files(), expected);
  // 7.wav at 1500, pause 1200, spot.wav at 2800 lasting 200, pause 1200, then the call again.
  EXPECT_EQ(HeardSinceStart()[3], std::make_pair(std::string("spot.wav"), std::int64_t{2800}));
  EXPECT_EQ(HeardSinceStart()[4], std::make_pair(std::string("k.wav"), std::int64_t{4200}));
}

TEST_F(PlayerFixture, AlertSoundRepeatsBackToBack) {
  Start();
  app->Settings().speedFactor = 0;
  Q().QueueAlert(3);
  Speak(10000);
  Heard expected{{"ALERT.WAV", 100}, {"ALERT.WAV", 700}, {"ALERT.WAV", 1300}};
  EXPECT_EQ(HeardSinceStart(), expected);
}

TEST_F(PlayerFixture, IdComesFirstThenNotBeforeItsIntervalHasPassed) {
  Start();
  AppSettings& s = app->Settings();
  s.idIntervalMinutes = 10;
  s.idString = "G4TST";
  for (int minute = 0; minute < 12; ++minute) {
    Q().QueueSpot("K1", "7", false, false);
    Speak(60000);
    if (minute == 0) {
      std::vector<std::string> files = t.sound.Files();
      std::vector<std::string> first(files.begin(), files.begin() + 6);
      EXPECT_EQ(first, (std::vector<std::string>{"id.wav", "g.wav", "4.wav", "t.wav", "s.wav", "t.wav"}));
    }
    if (minute == 9) {
      EXPECT_EQ(Count("id.wav"), 1);
    }
  }
  // Due during the spot of minute 10: said once that spot is done.
  EXPECT_EQ(Count("id.wav"), 2);
  auto second = std::find_if(t.sound.played.rbegin(), t.sound.played.rend(),
                             [](const auto& p) { return p.file == "id.wav"; });
  EXPECT_GT(second->atMs - t0, 600000);
  EXPECT_LT(second->atMs - t0, 610000);
}

TEST_F(PlayerFixture, IdIsSaidAgainWhenTheClockPassesMidnight) {
  t.clock.SetLocal({2026, 12, 7, 23, 58, 0, 0});
  Start();
  app->Settings().idIntervalMinutes = 60;
  Q().QueueSpot("K1", "7", false, false);
  Speak(10000);
  EXPECT_EQ(Count("id.wav"), 1);
  t.clock.SetLocal({2026, 12, 8, 0, 1, 0, 0});
  Q().QueueSpot("K1", "7", false, false);
  Speak(10000);
  EXPECT_EQ(Count("id.wav"), 2);
  // Saving the settings starts the interval again.
  app->SaveSettings();
  Q().QueueSpot("K1", "7", false, false);
  t.clock.SetLocal({2026, 12, 8, 0, 5, 0, 0});
  Speak(10000);
  EXPECT_EQ(Count("id.wav"), 2);
}

TEST_F(PlayerFixture, PttKeysWithALeadAndReleasesAtTheEnd) {
  Start();
  t.portIo.bytes[0x3BC] = 0xF0;  // the other bits stay as they are; bit 3 is held low
  app->Settings().pttOnLpt1 = true;
  app->Settings().speedFactor = 2;
  Q().QueueSpot("K1", "7", false, false);
  Q().QueueSpot("K2", "7", false, false);
  Speak(10000);
  // Keyed at the first tick, k.wav after the lead; released at the tick after the last sound.
  EXPECT_EQ(PttWrites(), (std::vector<std::pair<int, std::int64_t>>{{0xF1, 100}, {0xF0, 4400}}));
  EXPECT_EQ(HeardSinceStart().front(), std::make_pair(std::string("k.wav"), std::int64_t{200}));
  EXPECT_EQ(HeardSinceStart().back(), std::make_pair(std::string("7.wav"), std::int64_t{4300}));
  EXPECT_FALSE(P().Ptt().Keyed());
}

TEST_F(PlayerFixture, IdStringEndingInSlashReleasesAfterEachEntryAndKeysAgain) {
  Start();
  app->Settings().pttOnLpt1 = true;
  app->Settings().idStringSlash = true;
  app->Settings().speedFactor = 2;
  Q().QueueSpot("K1", "7", false, false);
  Q().QueueSpot("K2", "7", false, false);
  Speak(10000);
  // K1 7 from 200 (after the lead); the entry end at 1700 releases, the pause
  // runs to 2900, keying again with 100 ms lead before k.wav.
  EXPECT_EQ(PttWrites(),
            (std::vector<std::pair<int, std::int64_t>>{{1, 100}, {0, 1700}, {1, 2900}, {0, 4500}}));
  Heard expected{{"k.wav", 200},  {"1.wav", 300},  {"7.wav", 1600},
                 {"k.wav", 3000}, {"2.wav", 3100}, {"7.wav", 4400}};
  EXPECT_EQ(HeardSinceStart(), expected);
}

TEST_F(PlayerFixture, LptSwitchKeysForAlertSounds) {
  Start();
  app->Settings().alertLptSwitch = true;
  Q().QueueSpot("K1", "7", false, false);
  Speak(10000);
  EXPECT_TRUE(t.portIo.writes.empty());
  Q().QueueAlert(1);
  Speak(10000);
  // Released after the alert entry's closing pause.
  EXPECT_EQ(PttWrites(), (std::vector<std::pair<int, std::int64_t>>{{1, 10100}, {0, 11900}}));
}

TEST_F(PlayerFixture, EscapeSkipsTheRestOfTheSpokenEntryOnly) {
  Start();
  app->Options().sounds = true;
  app->Settings().speedFactor = 2;
  int hooks = 0;
  P().onEndOfEntry = [&] { ++hooks; };
  for (const char* call : {"K1", "K2", "K3"}) {
    Q().QueueSoundEvent(3, {true, true, false});
    Q().QueueSpot(call, "7", false, false);
  }
  app->StartSpeaking();
  t.loop.Advance(300);  // spot.wav at 100, then the pause ticking at 300: K1 begins
  t.loop.Advance(1200);
  ASSERT_EQ(t.sound.Files().back(), "k.wav");
  int before = hooks;
  EXPECT_TRUE(app->SkipSpokenEntry());
  EXPECT_EQ(hooks, before + 1);
  t.loop.Advance(20000);
  std::vector<std::string> expected{"spot.wav", "k.wav",    "spot.wav", "k.wav", "2.wav",
                                    "7.wav",    "spot.wav", "k.wav",    "3.wav", "7.wav"};
  EXPECT_EQ(t.sound.Files(), expected);
  EXPECT_FALSE(app->SkipSpokenEntry());
}

TEST_F(PlayerFixture, EscapeSkipsSpeechBeforeItStopsAConnectionAttempt) {
  fakes::FakeSocketFactory sockets;
  AppSettings s;
  s.ownCallsign = "G4TST";
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  t.sound.devices = 1;
  t.sockets = &sockets;
  t.Make();
  t.app->StartUp("/DEMO");
  ASSERT_TRUE(t.app->Typed());
  int connectionSteps = 0;
  t.app->Typed()->escapeSteps.push_back([&] { return ++connectionSteps > 0; });
  SpeechQueue& q = t.app->Pipeline()->Speech();
  q.QueueSpot("K1", "7", false, false);
  q.QueueSpot("K2", "7", false, false);
  t.app->Typed()->Escape();
  EXPECT_EQ(q.Text(), "K2 7");
  EXPECT_EQ(connectionSteps, 0);
  t.app->Typed()->Escape();
  t.app->Typed()->Escape();
  EXPECT_EQ(connectionSteps, 1);
  t.app.reset();  // before the sockets it was given
}

TEST_F(PlayerFixture, EscapeOnTheLastEntryEmptiesTheQueueAndReleasesPtt) {
  Start();
  app->Settings().pttOnLpt1 = true;
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  app->StartSpeaking();
  t.loop.Advance(300);
  ASSERT_TRUE(P().Ptt().Keyed());
  EXPECT_TRUE(app->SkipSpokenEntry());
  EXPECT_TRUE(Q().Empty());
  EXPECT_FALSE(P().Ptt().Keyed());
  t.loop.Advance(5000);
  EXPECT_FALSE(Q().Speaking());
  EXPECT_EQ(t.sound.Files().size(), 2u);
}

TEST_F(PlayerFixture, EndingTheProgramWhileKeyedReleasesTheTransmitter) {
  Start();
  app->Settings().pttOnLpt1 = true;
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  app->StartSpeaking();
  t.loop.Advance(300);
  ASSERT_TRUE(P().Ptt().Keyed());
  t.app.reset();
  ASSERT_FALSE(t.portIo.writes.empty());
  EXPECT_EQ(t.portIo.writes.back().value & 1, 0);
}

TEST_F(PlayerFixture, SwitchingSoundsOffEmptiesTheQueueAndEndsTheTransmission) {
  Start();
  app->Options().sounds = true;
  app->Settings().pttOnLpt1 = true;
  Q().QueueSpot("K1ABC", "14025.0", false, false);
  app->StartSpeaking();
  t.loop.Advance(500);
  ASSERT_TRUE(app->RunMenu("Options/Sounds"));
  EXPECT_FALSE(app->Options().sounds);
  EXPECT_TRUE(Q().Empty());
  std::size_t played = t.sound.played.size();
  t.loop.Advance(5000);
  EXPECT_EQ(t.sound.played.size(), played);
  EXPECT_FALSE(P().Ptt().Keyed());
  EXPECT_FALSE(Q().Speaking());
  // On again: nothing of what was dropped comes back.
  ASSERT_TRUE(app->RunMenu("Options/Sounds"));
  t.loop.Advance(5000);
  EXPECT_EQ(t.sound.played.size(), played);
}

TEST_F(PlayerFixture, F9RepeatsTheLastAcceptedSpotTruncatedWithoutDoubleSpell) {
  Start();
  app->Settings().truncateFrequency = true;
  app->Settings().doubleSpell = true;
  EXPECT_TRUE(app->PressKey("F9"));  // no spot yet: nothing
  EXPECT_TRUE(Q().Empty());
  std::string line = PadRight("DX de DL1XYZ:", 15) + FitRight("14025.0", 9) + "  " + PadRight("K1ABC", 12) +
                     " " + PadRight("up 2", 31) + "1200Z\r\n";
  app->Events().spotLine.Fire(line, SpotSource::Main);
  ASSERT_TRUE(Q().Empty());  // voice spelling is off
  EXPECT_TRUE(app->PressKey("F9"));
  EXPECT_EQ(Q().Text(), std::string(1, kMark) + "K1ABC 14");
  t.loop.Advance(10000);
  EXPECT_EQ(t.sound.Files(),
            (std::vector<std::string>{"k.wav", "1.wav", "a.wav", "b.wav", "c.wav", "1.wav", "4.wav"}));
}

TEST_F(PlayerFixture, WithoutADeviceTheSoundMenuIsOffAndNothingIsPlayed) {
  Start(0);
  EXPECT_FALSE(app->State().soundAvailable);
  EXPECT_FALSE(app->Frame().Item("mnusounds").enabled);
  EXPECT_FALSE(app->Frame().Item("mnurepeat").enabled);
  EXPECT_TRUE(t.sound.volumes.empty());
}

TEST_F(PlayerFixture, PlayToEndReturnsWithTheQueueSpoken) {
  Start();
  Q().Text() += "ZX9 ";
  app->playSpeechNow();
  EXPECT_EQ(t.sound.Files(), (std::vector<std::string>{"z.wav", "x.wav", "9.wav"}));
  EXPECT_TRUE(Q().Empty());
  EXPECT_FALSE(P().SpeechTimer().Enabled());
}

TEST(LptPortTest, FileLineIsAnAddressOrADevice) {
  EXPECT_EQ(ParseLptPortLine("&H378\r\n").address, 888);
  EXPECT_EQ(ParseLptPortLine("&h3bc").address, 956);
  EXPECT_EQ(ParseLptPortLine(" 632 \r\nignored").address, 632);
  EXPECT_EQ(ParseLptPortLine("junk").address, 0);
  LptPortLine serial = ParseLptPortLine("/dev/ttyUSB0 dtr\r\n");
  EXPECT_EQ(serial.device, "/dev/ttyUSB0");
  EXPECT_TRUE(serial.useDtr);
  EXPECT_FALSE(ParseLptPortLine("/dev/ttyUSB0").useDtr);
}

TEST(LptPortTest, ProbeTakesTheFirstPortThatReadsBackZero) {
  fakes::VirtualClock clock;
  fakes::FakePortIo io(clock);
  EXPECT_EQ(ProbeLptPort(&io), 0x3BC);
  io.floating[0x3BC] = 0xFF;
  io.bytes.clear();
  EXPECT_EQ(ProbeLptPort(&io), 0x378);
  io.floating[0x378] = 0xFF;
  EXPECT_EQ(ProbeLptPort(&io), 0x278);
  EXPECT_EQ(ProbeLptPort(nullptr), 0x278);
}

TEST_F(PlayerFixture, LptPortFileNamesTheDeviceAndPttStartsSwitchedOff) {
  t.Folder().WriteAtomic("LPTPORT.TXT", "/dev/ttyUSB3 DTR\r\n");
  AppSettings s;
  s.ownCallsign = "G4TST";
  s.pttOnLpt1 = true;
  t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
  t.portIo.bytes[0] = 0x09;
  t.sound.devices = 1;
  t.Make().StartUp("");
  EXPECT_EQ(t.portIo.selected, "/dev/ttyUSB3");
  EXPECT_TRUE(t.portIo.dtr);
  ASSERT_EQ(t.portIo.writes.size(), 1u);
  EXPECT_EQ(t.portIo.writes[0].value, 0x00);

  fakes::TestApp other;
  other.Folder().WriteAtomic("LPTPORT.TXT", "/dev/nothing\r\n");
  other.portIo.selectSucceeds = false;
  App& a = other.StartWithCall("");
  EXPECT_EQ(a.Frame().Status(), "PTT: /dev/nothing: cannot open it");
}

}  // namespace
}  // namespace qn
