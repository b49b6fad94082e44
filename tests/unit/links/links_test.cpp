#include "links/links.h"

#include <gtest/gtest.h>

#include "core/files.h"
#include "core/text.h"
#include "fakes/fake_link_endpoint.h"
#include "fakes/fake_prompter.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"
#include "links/links_rules.h"

namespace qn {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z\r\n";

// One Links on the fakes, with what it sends and hands to the pipeline kept.
struct LinksTest : ::testing::Test {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakeInstanceRegistry registry;
  fakes::FakeLinkNetwork network{loop};
  fakes::FakeLinkEndpoint endpoint{network, 100};
  fakes::TempFolder logDir;
  AppSettings settings;
  TextWindow announcements{WindowId::Announcements};
  Links links{settings, announcements, loop, registry, &endpoint};
  std::string sent;
  std::vector<std::string> piped;
  bool ddeIn = true;
  bool logLink = true;
  LinkSessionMode mode = LinkSessionMode::Plain;

  LinksTest() {
    settings.logFolder = logDir.Path().string() + "/";
    settings.ownCallsign = "G4TST";
    LinksHooks& h = links.Hooks();
    h.ddeIn = [this] { return ddeIn; };
    h.sessionMode = [this] { return mode; };
    h.logLinkOn = [this] { return logLink; };
    h.send = [this](const std::string& t) { sent += t; };
    h.toPipeline = [this](const std::string& l) { piped.push_back(l); };
    h.showAnnouncement = [this](const std::string& t) { AppendToWindow(announcements, t, true); };
    links.Serve("me");
  }
  void Outgoing(const std::string& text, bool append = true) {
    DataFolder d(logDir.Path());
    if (append)
      d.Append("outgoing.txt", text);
    else
      d.WriteAtomic("outgoing.txt", text);
  }
  void Tick() { loop.Advance(Links::kOutgoingIntervalMs); }
};

TEST_F(LinksTest, AnnouncementIsShownAndSentOnceAndARobotSendsNone) {
  links.Textin("/ANNTo ALL de K1ABC: QRV 40m\r\n");
  links.Textin("/ANNTo ALL de K1ABC: QRV 40m\r\n");
  links.Textin("/ANNto all de k1abc: qrv 40M\r\n");
  EXPECT_EQ(announcements.Text(), "To ALL de K1ABC: QRV 40m\r\n");
  EXPECT_EQ(sent, "To ALL de K1ABC: QRV 40m\n");
  // Further back than the window's last 462 characters it counts as new.
  AppendToWindow(announcements, std::string(500, 'x') + "\r\n", true);
  links.Textin("/ANNTo ALL de K1ABC: QRV 40m\r\n");
  EXPECT_EQ(sent, "To ALL de K1ABC: QRV 40m\nTo ALL de K1ABC: QRV 40m\n");
  // A line end ends the announcement: nothing after it reaches the node.
  links.Textin("/ANNhello\r\nSET/PASSWORD\r\n");
  EXPECT_EQ(sent.find("SET/PASSWORD"), std::string::npos);
  settings.ownCallsign = "DXROBOT1";
  links.Textin("/ANNsomething new\r\n");
  EXPECT_EQ(sent.find("something new"), std::string::npos);
}

TEST_F(LinksTest, EscapeSendsACommandOtherwiseLinesGoToThePipeline) {
  links.Textin("+++sh/dx 5");
  EXPECT_EQ(sent, "sh/dx 5\r\n");
  links.Textin("+++  \r\n");
  EXPECT_EQ(sent, "sh/dx 5\r\n");
  settings.auxEscapeString = "@@";
  links.Textin("@@dx 14025 K1ABC\r\n");
  EXPECT_EQ(sent, "sh/dx 5\r\ndx 14025 K1ABC\r\n");
  mode = LinkSessionMode::Web;
  links.Textin("@@DX 14025.0 K1ABC up\r\n");
  EXPECT_EQ(sent, "sh/dx 5\r\ndx 14025 K1ABC\r\nG4TST 14025.0 K1ABC up\r\n");
  EXPECT_TRUE(piped.empty());

  links.Textin(kSpot + kSpot.substr(0, 40));
  ASSERT_EQ(piped.size(), 2u);
  EXPECT_EQ(piped[0], kSpot);
  EXPECT_EQ(piped[1], kSpot.substr(0, 40) + "\r\n");
}

TEST_F(LinksTest, DdeInOffIgnoresTextinButNotTextin1) {
  ddeIn = false;
  links.Textin(kSpot);
  links.Textin("+++sh/dx");
  EXPECT_TRUE(piped.empty());
  EXPECT_EQ(sent, "");
  links.Textin1("sh/wwv\r\n\r\n");
  links.Textin1("\r\n");
  EXPECT_EQ(sent, "sh/wwv\n");
}

TEST_F(LinksTest, PokesReachTheItemsAndUnknownItemsAreRefused) {
  fakes::FakeLinkEndpoint script(network, 200);
  std::vector<PokeAnswer> answers;
  auto keep = [&](PokeAnswer a) { answers.push_back(a); };
  EXPECT_EQ(script.Poke("QUILLNET", "ME", "textin1", "sh/dx\r\n", keep), 1);
  EXPECT_EQ(script.Poke("quillnet", "me", "Textout", "x", keep), 1);
  EXPECT_EQ(script.Poke("quillnet", "other", "Textin", "x", keep), 0);
  loop.RunPosted();
  EXPECT_EQ(answers, (std::vector<PokeAnswer>{PokeAnswer::Ok, PokeAnswer::UnknownItem}));
  EXPECT_EQ(sent, "sh/dx\n");
  links.SetTag("dx.example.org");
  EXPECT_EQ(endpoint.Topic(), "dx.example.org");
}

TEST_F(LinksTest, TextoutGoesToEachOtherCopyAndTheConfiguredProgram) {
  fakes::FakeLinkEndpoint copy2(network, 2), relay(network, 3), logger(network, 4);
  std::vector<std::string> got2, gotRelay, gotLogger;
  copy2.Serve("quillnet", "dx.example.org",
              [&](auto&, auto& t) { return got2.push_back(t), PokeAnswer::Ok; });
  relay.Serve("quillnet", "RELAY1", [&](auto&, auto& t) { return gotRelay.push_back(t), PokeAnswer::Ok; });
  logger.Serve("logbook", "SPOTS", [&](auto& item, auto& t) {
    gotLogger.push_back(item + ":" + t);
    return PokeAnswer::Ok;
  });
  registry.others = {"Quillnet [dx.example.org]", "Quillnet [RELAY1]", "Quillnet [me]"};
  links.Textout(kSpot);
  loop.RunPosted();
  EXPECT_EQ(got2, std::vector<std::string>{kSpot});
  EXPECT_EQ(gotRelay, std::vector<std::string>{kSpot});
  EXPECT_TRUE(gotLogger.empty());

  settings.ddeApplication = "logbook";
  settings.ddeTopic = "spots";
  settings.ddeItem = "Textin";
  links.Textout1("line for relays");
  loop.RunPosted();
  EXPECT_EQ(got2.size(), 1u);
  EXPECT_EQ(gotRelay.back(), "line for relays");
  EXPECT_EQ(gotLogger, std::vector<std::string>{"Textin:line for relays"});
  links.Textout("");
  loop.RunPosted();
  EXPECT_EQ(network.sent.size(), 4u);
}

TEST_F(LinksTest, OutgoingFileWaitsForWholeLinesAndFollowsARewrite) {
  Outgoing("stale\r\n");
  links.StartOutgoingLink();
  EXPECT_FALSE(DataFolder(logDir.Path()).Exists("outgoing.txt"));
  EXPECT_TRUE(links.OutgoingLinkRunning());
  Outgoing("DX 14025.0 K1ABC");
  Tick();
  EXPECT_EQ(sent, "");
  Outgoing(" up 2\r\nsh/dx\r\n");
  Tick();
  EXPECT_EQ(sent, "DX 14025.0 K1ABC up 2\r\nsh/dx\r\n");
  Tick();
  EXPECT_EQ(sent, "DX 14025.0 K1ABC up 2\r\nsh/dx\r\n");
  // Truncated and written anew: what lies past the old position is read.
  Outgoing("sh/wwv\r\n", false);
  Tick();
  EXPECT_EQ(links.ReadPosition(), 8u);
  Outgoing("sh/wcy\r\n");
  Tick();
  EXPECT_EQ(sent, "DX 14025.0 K1ABC up 2\r\nsh/dx\r\nsh/wcy\r\n");
  logLink = false;
  Tick();
  EXPECT_FALSE(links.OutgoingLinkRunning());
}

TEST_F(LinksTest, AMegabyteAtOnceIsSentInWholeLinesOverSeveralTicks) {
  links.StartOutgoingLink();
  std::string line = "DX 14025.0 K1ABC " + std::string(60, 'c') + "\r\n";
  std::string big;
  while (big.size() < 1024 * 1024) big += line;
  Outgoing(big);
  std::size_t ticks = 0;
  for (; ticks < 40 && sent.size() < big.size(); ++ticks) {
    std::size_t before = sent.size();
    Tick();
    EXPECT_LE(sent.size() - before, Links::kMaxOutgoingRead);
    EXPECT_TRUE(EndsWith(sent, "\r\n"));
  }
  EXPECT_EQ(sent, big);
  EXPECT_GT(ticks, 10u);
  // A run of binary without a line end is passed over, not read for ever.
  Outgoing(std::string(Links::kMaxOutgoingRead * 2, '\x01') + "sh/dx\r\n");
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_TRUE(EndsWith(sent, "sh/dx\r\n"));
}

TEST_F(LinksTest, WebSessionSendsOnlySpotsAndAnnouncementsOfTheFile) {
  mode = LinkSessionMode::Web;
  links.StartOutgoingLink();
  Outgoing("DX K1ABC 14025.0 up\r\n");
  Tick();
  Outgoing("sh/dx\r\n");
  Tick();
  EXPECT_EQ(sent, "G4TST 14025.0 K1ABC up\r\n");
}

TEST(LinksRules, PathNeededWhenEnabledAndTheNamesCleaned) {
  AppSettings s;
  LinksFields f = LinksRules::Load(s);
  EXPECT_EQ(f.logFolder, s.logFolder);
  f.enabled = true;
  f.logFolder = "   ";
  EXPECT_EQ(LinksRules::Save(f, s), kNeedPath);
  EXPECT_FALSE(s.linkEnabled);
  f.logFolder = " /home/op/Logbook ";
  f.application = " Logger.exe ";
  f.topic = " Spots ";
  f.item = " Textin ";
  EXPECT_EQ(LinksRules::Save(f, s), "");
  EXPECT_TRUE(s.linkEnabled);
  EXPECT_EQ(s.logFolder, "/home/op/Logbook/");
  EXPECT_EQ(s.ddeApplication, "Logger");
  EXPECT_EQ(s.ddeTopic, "Spots");
  EXPECT_EQ(s.ddeItem, "Textin");
  f.enabled = false;
  f.logFolder = "";
  EXPECT_EQ(LinksRules::Save(f, s), "");
  EXPECT_EQ(s.logFolder, "");
}

}  // namespace
}  // namespace qn
