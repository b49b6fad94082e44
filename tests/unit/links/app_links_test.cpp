// Two copies built through the assembly, joined by the fake link network: what
// one accepts reaches the other, and nothing comes back.
#include <gtest/gtest.h>

#include <random>

#include "app/app.h"
#include "core/text.h"
#include "fakes/fake_link_endpoint.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "links/links.h"
#include "session/connection_control.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                             1200Z\r\n";

struct TwoCopies : ::testing::Test {
  fakes::TestApp a, b;
  fakes::FakeSocketFactory socketsA, socketsB;
  fakes::FakeLinkNetwork network{a.loop};
  fakes::FakeLinkEndpoint endA{network, 1}, endB{network, 2};

  TwoCopies() {
    a.sockets = &socketsA;
    b.sockets = &socketsB;
    a.links = &endA;
    b.links = &endB;
    Start(a, socketsA, "node1.example");
    Start(b, socketsB, "node2.example");
    a.registry.others = {b.registry.ownTitle};
    b.registry.others = {a.registry.ownTitle};
  }
  // The copies go before the endpoints and sockets they were given.
  ~TwoCopies() override {
    a.app.reset();
    b.app.reset();
  }
  static void Start(fakes::TestApp& t, fakes::FakeSocketFactory& sockets, const std::string& host) {
    t.StartWithCall("telnet://" + host);
    fakes::FakeSocket& s = *sockets.made.back();
    s.remoteName = host;
    s.AcceptConnection();
    SiteFlags& f = t.app->Connection()->MutableFlags();
    f.ddeIn = f.ddeOut = true;
  }
  static std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
  }
};

TEST_F(TwoCopies, ASpotCrossesOnceAndIsNotHandedBack) {
  EXPECT_EQ(endA.Topic(), "node1.example");
  EXPECT_EQ(endB.Topic(), "node2.example");
  a.app->Pipeline()->ProcessSpot(kSpot, SpotSource::Main);
  for (int i = 0; i < 5; ++i) a.loop.RunPosted();
  EXPECT_EQ(Count(b.app->Window(WindowId::Spots).Text(), "DL1XYZ"), 1u);
  ASSERT_EQ(network.sent.size(), 1u);
  EXPECT_EQ(network.sent[0].topic, "node2.example");
  EXPECT_EQ(network.sent[0].item, "Textin");
}

TEST_F(TwoCopies, DdeOutOffKeepsSpotsHomeAndMenuRowsExist) {
  a.app->Connection()->MutableFlags().ddeOut = false;
  a.app->Pipeline()->ProcessSpot(kSpot, SpotSource::Main);
  a.loop.RunPosted();
  EXPECT_TRUE(network.sent.empty());
  EXPECT_TRUE(a.app->RunMenu("Options/Link to DX-HUNTER"));
  EXPECT_TRUE(a.app->Options().linkToDxHunter);
  EXPECT_TRUE(a.app->LinkIo()->OutgoingLinkRunning());
  EXPECT_TRUE(a.app->Frame().Item("mnulink").checked);
  EXPECT_NE(a.app->Menu().Find("Configuration/Links..."), nullptr);
}

TEST_F(TwoCopies, APokedCommandReachesTheNode) {
  std::vector<PokeAnswer> answers;
  fakes::FakeLinkEndpoint script(network, 9);
  script.Poke("quillnet", "node2.example", "Textin", "+++sh/dx\r\n",
              [&](PokeAnswer x) { answers.push_back(x); });
  script.Poke("quillnet", "node2.example", "Textin1", "sh/wwv", [&](PokeAnswer x) { answers.push_back(x); });
  a.loop.RunPosted();
  EXPECT_EQ(answers, (std::vector<PokeAnswer>{PokeAnswer::Ok, PokeAnswer::Ok}));
  const std::string& sent = socketsB.made.back()->sent;
  EXPECT_NE(sent.find("sh/dx\r\n"), std::string::npos);
  EXPECT_NE(sent.find("sh/wwv\n"), std::string::npos);
}

TEST_F(TwoCopies, GarbagePokesNeitherReachTheNodeNorGrowTheWindows) {
  fakes::FakeLinkEndpoint script(network, 9);
  std::mt19937 random(17);
  std::size_t answered = 0;
  for (int i = 0; i < 300; ++i) {
    std::string text(random() % 3000, '\0');
    for (char& c : text) c = static_cast<char>(random() % 256);
    // Some look like spots, some like announcements.
    if (i % 3 == 0) text.insert(0, "DX de ");
    if (i % 7 == 0) text.insert(0, "/ANN");
    script.Poke("quillnet", "node2.example", "Textin", text,
                [&](PokeAnswer x) { answered += x == PokeAnswer::Ok; });
  }
  a.loop.RunPosted();
  EXPECT_EQ(answered, 300u);
  for (WindowId w : {WindowId::Spots, WindowId::Announcements})
    EXPECT_LE(b.app->Window(w).Text().size(), 30000u);
  // Only the one-line announcements may have gone to the node, each without a line break inside.
  for (const std::string& line : SplitLines(socketsB.made.back()->sent))
    EXPECT_EQ(line.find('\r'), std::string::npos);
  // Nothing came in from a link is handed on.
  EXPECT_EQ(network.sent.size(), 300u);
}

}  // namespace
}  // namespace qn
