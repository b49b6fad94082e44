#include "rig/rig_control.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/frame_state.h"
#include "core/text_window.h"
#include "fakes/fake_prompter.h"
#include "fakes/fake_rig.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"
#include "rig/rig_control_rules.h"
#include "rig/rig_file.h"
#include "rig/rigctld_protocol.h"

namespace qn {
namespace {

constexpr const char* kSpot = "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z";

struct RigRig {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakePrompter prompter;
  FrameState frame;
  fakes::FakeRadio radio;
  fakes::FakeRigFactory factory{loop, radio};
  std::string locator = "JN58TD";
  RigControl control{loop, frame, prompter, &factory, [this] { return locator; }};

  void On() {
    RigSettings s;
    s.use = RigAccess::Rigctld;
    control.Configure(s);
  }
};

TEST(RigControl, PollsOnceASecondOnlyWhileOn) {
  RigRig r;
  r.loop.Advance(5000);
  EXPECT_EQ(r.radio.reads, 0);
  EXPECT_EQ(r.frame.Rig(), "");

  r.On();
  r.loop.Advance(0);
  EXPECT_EQ(r.radio.reads, 1);
  EXPECT_EQ(r.frame.Rig(), "Rig: 14000.00 USB");
  r.loop.Advance(3000);
  EXPECT_EQ(r.radio.reads, 4);

  // A radio that does not answer is not asked again until it has.
  r.radio.silent = true;
  r.loop.Advance(5000);
  EXPECT_EQ(r.radio.reads, 4);
  EXPECT_EQ(r.radio.held.size(), 1u);
  r.radio.silent = false;
  r.radio.Answer();
  EXPECT_EQ(r.radio.reads, 5);

  RigSettings off;
  r.control.Configure(off);
  r.loop.Advance(5000);
  EXPECT_EQ(r.radio.reads, 5);
  EXPECT_EQ(r.frame.Rig(), "");
  EXPECT_EQ(r.radio.closed, 1);
}

TEST(RigControl, TunesToASpotLineAndShowsIt) {
  RigRig r;
  r.On();
  int changes = 0;
  r.control.AddReadingListener([&] { ++changes; });
  EXPECT_TRUE(r.control.TuneToLine(kSpot));
  r.loop.Advance(0);
  ASSERT_EQ(r.radio.orders.size(), 1u);
  EXPECT_EQ(r.radio.orders[0].rxHz, 14025000);
  EXPECT_EQ(r.radio.orders[0].mode, "CW");
  EXPECT_TRUE(r.radio.orders[0].split);
  EXPECT_EQ(r.radio.orders[0].txHz, 14027000);
  EXPECT_EQ(r.frame.Rig(), "Rig: 14025.00 CW, split 14027.00");
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(r.control.InPassband(14025100));
  EXPECT_FALSE(r.control.InPassband(14027000));
  EXPECT_TRUE(r.control.SpotLineInPassband(kSpot));

  EXPECT_FALSE(r.control.TuneToLine("To ALL de K1ABC: hello"));
  EXPECT_EQ(r.frame.Rig(), "Rig: no spot on this line");
  EXPECT_EQ(r.radio.orders.size(), 1u);
}

TEST(RigControl, CaretLineOrTheNewestSpot) {
  RigRig r;
  r.On();
  TextWindow w(WindowId::Terminal);
  AppendToWindow(w, std::string(kSpot) + "\r\n", true);
  AppendToWindow(w, "DX de W1AW:      7185.0  EA8XYZ       SSB                            1235Z\r\n", true);
  AppendToWindow(w, "K1ABC de GB7DJK > \r\n", true);
  w.SetSelection(w.Text().size(), 0);
  EXPECT_TRUE(r.control.TuneToCaret(w));
  r.loop.Advance(0);
  EXPECT_EQ(r.radio.orders.back().rxHz, 7185000);
  EXPECT_EQ(r.radio.orders.back().mode, "LSB");

  w.SetSelection(10, 0);
  EXPECT_TRUE(r.control.TuneToCaret(w));
  r.loop.Advance(0);
  EXPECT_EQ(r.radio.orders.back().rxHz, 14025000);

  EXPECT_TRUE(r.control.TuneAt(w, w.Text().find("EA8XYZ")));
  EXPECT_FALSE(r.control.TuneAt(w, w.Text().find("GB7DJK")));
}

TEST(RigControl, FaultsShowInTheStatusWithOneBoxAnOutage) {
  RigRig r;
  EXPECT_FALSE(r.control.TuneToLine(kSpot));
  EXPECT_EQ(r.frame.Rig(), "Rig control is off (Configuration / Rig Control...)");

  r.On();
  r.radio.failWith = "no answer from rigctld at 127.0.0.1:4532";
  r.loop.Advance(0);
  EXPECT_EQ(r.frame.Rig(), "Rig: no answer from rigctld at 127.0.0.1:4532");
  EXPECT_TRUE(r.prompter.shown.empty());
  // Polling slows down while the rig is away.
  int reads = r.radio.reads;
  r.loop.Advance(4000);
  EXPECT_EQ(r.radio.reads, reads);
  r.loop.Advance(1000);
  EXPECT_EQ(r.radio.reads, reads + 1);

  for (int i = 0; i < 3; ++i) {
    r.control.TuneToLine(kSpot);
    r.loop.Advance(0);
  }
  EXPECT_EQ(r.prompter.shown.size(), 1u);

  // Back again: the next outage gets its box.
  r.radio.failWith.clear();
  r.loop.Advance(5000);
  EXPECT_EQ(r.frame.Rig(), "Rig: 14000.00 USB");
  r.loop.Advance(1000);
  EXPECT_EQ(r.radio.reads, reads + 3);
  r.radio.failWith = "radio off";
  r.control.TuneToLine(kSpot);
  r.loop.Advance(0);
  EXPECT_EQ(r.prompter.shown.size(), 2u);
}

TEST(RigControl, DialogChecksSavesAndTests) {
  RigRig r;
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  folder.WriteAtomic(kRigFile, "' my shack\r\nuse = off\r\nflrig = yes\r\nport = 4532 ' default\r\n");
  RigControlRules rules(r.control, folder);
  RigFields f = rules.Load();
  f.use = RigAccess::Rigctld;
  f.port = "70000";
  EXPECT_EQ(rules.Save(f), "The port must be a number from 1 to 65535 (rigctld uses 4532).");
  f.port = "4533";
  f.host = "::1";
  EXPECT_EQ(rules.Save(f), "");
  EXPECT_TRUE(r.control.On());
  EXPECT_EQ(r.factory.last.port, 4533);
  EXPECT_EQ(
      *folder.Read(kRigFile),
      "' my shack\r\nuse = rigctld\r\nflrig = yes\r\nport = 4533  ' default\r\nhost = ::1\r\nmodel = 1\r\n"
      "device = /dev/ttyUSB0\r\nspeed = 9600\r\n");
  RigSettings back = LoadRigSettings(folder);
  EXPECT_EQ(back.use, RigAccess::Rigctld);
  EXPECT_EQ(back.host, "::1");
  EXPECT_EQ(back.port, 4533);

  f.use = RigAccess::Hamlib;
  f.speed = "9601";
  EXPECT_NE(rules.Save(f), "");
  f.speed = "38400";
  f.model = "abc";
  EXPECT_NE(rules.Save(f).find("rigctl -l"), std::string::npos);

  std::string shown;
  f.model = "1";
  rules.Test(f, [&](bool ok, const std::string& text) {
    EXPECT_TRUE(ok);
    shown = text;
  });
  r.loop.Advance(0);
  EXPECT_EQ(shown, "The rig reads 14000.00 kHz USB.");
  r.radio.failWith = "cannot open /dev/ttyUSB0: Permission denied";
  rules.Test(f, [&](bool ok, const std::string& text) {
    EXPECT_FALSE(ok);
    shown = text;
  });
  r.loop.Advance(0);
  EXPECT_EQ(shown, "Hamlib model 1 on /dev/ttyUSB0: cannot open /dev/ttyUSB0: Permission denied");
}

TEST(RigctldProtocol, AnswersAtEverySplitAndGarbage) {
  const std::string session =
      "set_freq: 14025000\nRPRT 0\nget_freq:\nFrequency: 14025000\nRPRT 0\n"
      "get_mode:\nMode: CW\nPassband: 500\nRPRT 0\nset_split_vfo: 1 VFOB\nRPRT -11\n";
  for (std::size_t piece = 1; piece <= session.size(); ++piece) {
    RigctldReader reader;
    std::vector<RigctldAnswer> all;
    for (std::size_t i = 0; i < session.size(); i += piece) {
      ASSERT_TRUE(reader.Feed(session.substr(i, piece)));
      for (auto& a : reader.Take()) all.push_back(a);
    }
    ASSERT_EQ(all.size(), 4u) << piece;
    RigReading reading = RigctldReading(all[1], all[2]);
    EXPECT_TRUE(reading.ok);
    EXPECT_EQ(reading.hz, 14025000);
    EXPECT_EQ(reading.mode, "CW");
    EXPECT_EQ(reading.passbandHz, 500);
    EXPECT_EQ(all[3].code, -11);
  }
  EXPECT_EQ(HamlibErrorText(-5), "the radio did not answer in time");

  RigctldReader garbage;
  EXPECT_FALSE(garbage.Feed("HTTP/1.1 400 Bad Request\r\n"));
  RigctldReader endless;
  EXPECT_FALSE(endless.Feed(std::string(5000, 'x')));
  RigctldReader badCode;
  EXPECT_FALSE(badCode.Feed("RPRT zero\n"));

  RigOrder order{7185000, "LSB", true, 7200000};
  std::string sent;
  for (auto& c : RigctldTuneCommands(order)) sent += c.text;
  EXPECT_EQ(sent, "+F 7185000\n+M LSB 0\n+S 1 VFOB\n+I 7200000\n+X LSB 0\n");
}

}  // namespace
}  // namespace qn
