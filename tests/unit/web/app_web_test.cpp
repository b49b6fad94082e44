// A web instance built through the assembly: the first poll at start-up, the
// page's lines in the windows and the pipeline, F11, typed submissions and
// the web cluster dialog's Save.
#include <gtest/gtest.h>

#include "app/app.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "traffic/spot_pipeline.h"
#include "web/web_poller.h"
#include "web/web_submission.h"

namespace qn {
namespace {

const std::string kSpot = "K1ABC      14025.0 DL1XYZ     up 2                          1234 07 Dec";

struct WebApp : ::testing::Test {
  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;

  App& Start(const std::string& servers = "cluster.example 8000", const std::string& paths = "/a.html",
             bool ignoreFirst = false) {
    AppSettings s;
    s.ownCallsign = "G4TST";
    s.webServerList = servers;
    s.webPagePathList = paths;
    s.ignoreVeryFirstConnection = ignoreFirst;
    t.Folder().WriteAtomic("qlnweb.cfg", s.Serialise());
    t.sockets = &sockets;
    t.Make().StartUp("/WEB");
    return *t.app;
  }
  ~WebApp() override { t.app.reset(); }
  fakes::FakeSocket& Current() { return *sockets.made.back(); }
  void Answer(const std::string& reply) {
    Current().AcceptConnection();
    Current().Arrive(reply);
    Current().RemoteClose();
    t.loop.RunPosted();
  }
};

TEST_F(WebApp, StartUpPollsAndFilesThePage) {
  App& app = Start();
  EXPECT_EQ(app.Frame().Title(), "Quillnet [Web:cluster.example 8000]");
  EXPECT_EQ(app.Frame().Prompt(), "F11: manual refresh");
  ASSERT_EQ(sockets.made.size(), 1u);
  EXPECT_EQ(app.Frame().Status(), "Trying: cluster.example");
  Answer("HTTP/1.0 200 OK\r\n\r\n" + kSpot + "\r\n05 Dec 1200 K1ABC  SFI=150 A=5 K=1\r\n");
  EXPECT_NE(app.Window(WindowId::Terminal).Text().find(kSpot + "\r\n"), std::string::npos);
  EXPECT_NE(app.Window(WindowId::Spots).Text().find("DX de K1ABC:     14025.0  DL1XYZ"), std::string::npos);
  EXPECT_NE(app.Window(WindowId::Announcements).Text().find("WWV de 1200 K1ABC"), std::string::npos);
  EXPECT_EQ(app.Window(WindowId::Terminal).Text().find("HTTP/1.0"), std::string::npos);

  // F11 fetches again; the same page adds nothing.
  std::string spots = app.Window(WindowId::Spots).Text();
  std::string terminal = app.Window(WindowId::Terminal).Text();
  EXPECT_TRUE(app.PressKey("F11"));
  ASSERT_EQ(sockets.made.size(), 2u);
  Answer(kSpot + "\r\n");
  EXPECT_EQ(app.Window(WindowId::Terminal).Text(), terminal);
  EXPECT_EQ(app.Window(WindowId::Spots).Text(), spots);
}

TEST_F(WebApp, TypedLinesAreSubmittedOrPutBack) {
  App& app = Start();
  std::string putBack;
  app.onSetTypedLine = [&](const std::string& s) { putBack = s; };
  Answer("");
  app.TypeLine("G4TST 14O25 K1ABC");
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_EQ(t.prompter.shown.back().text, kSubmitFormatWeb);
  EXPECT_EQ(putBack, "G4TST 14O25 K1ABC");
  EXPECT_EQ(sockets.made.size(), 1u);
  EXPECT_EQ(app.Web()->WebTimer().Interval(), kWebRetryMs);

  app.TypeLine("G4TST 14025.5 K1ABC up 2");
  ASSERT_EQ(sockets.made.size(), 2u);
  Current().AcceptConnection();
  EXPECT_EQ(Current().sent, BuildSubmissionRequest("G4TST 14025.5 K1ABC up 2", false, false));
  // A second line while the first is on its way is refused with a message.
  std::size_t boxes = t.prompter.shown.size();
  app.TypeLine("G4TST 7012 K1ABC");
  ASSERT_EQ(t.prompter.shown.size(), boxes + 1);
  EXPECT_EQ(t.prompter.shown.back().text, "A connection is now in progress, please try later");
}

TEST_F(WebApp, NothingToPollIsSaidAndTheProgramStays) {
  App& app = Start("", "/a.html");
  EXPECT_TRUE(sockets.made.empty());
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_NE(t.prompter.shown.back().text.find("Web Cluster..."), std::string::npos);
  EXPECT_FALSE(app.Closed());
}

TEST_F(WebApp, FirstRoundSpotsRingNoAlarm) {
  App& app = Start("cluster.example 8000", "/a.html", true);
  EXPECT_TRUE(app.Web()->IgnoringFirstRetrieval());
  Answer(kSpot + "\r\n");
  EXPECT_FALSE(app.Web()->IgnoringFirstRetrieval());
  EXPECT_TRUE(app.Pipeline()->Speech().Text().empty());
}

}  // namespace
}  // namespace qn
