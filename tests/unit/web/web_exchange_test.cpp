// The HTTP exchange in virtual time over a scripted socket: the request byte
// for byte, the login dialogue of WEB.SCR, the reply limits and the stall,
// connect and trickle limits, and the failures each one shows.
#include "web/web_exchange.h"

#include <gtest/gtest.h>

#include <optional>

#include "fakes/fake_socket.h"
#include "fakes/virtual_time.h"

namespace qn {
namespace {

TEST(WebPieces, ServerEntries) {
  auto e = ParseWebServerEntry("cluster.example");
  EXPECT_EQ(e.host, "cluster.example");
  EXPECT_EQ(e.port, 80);
  EXPECT_EQ(ParseWebServerEntry(" cluster.example  0").port, 80);
  EXPECT_EQ(ParseWebServerEntry("cluster.example x").port, 80);
  EXPECT_EQ(ParseWebServerEntry("cluster.example 99999").port, 80);
  e = ParseWebServerEntry("127.0.0.1 8000");
  EXPECT_EQ(e.host, "127.0.0.1");
  EXPECT_EQ(e.port, 8000);
}

TEST(WebPieces, ListsEndAtTheFirstEmptyItem) {
  EXPECT_EQ(SplitWebList("a 80, b 81"), (std::vector<std::string>{"a 80", "b 81"}));
  EXPECT_EQ(SplitWebList("a, , b"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitWebList(" /x.html ,/y.html,"), (std::vector<std::string>{"/x.html", "/y.html"}));
  EXPECT_TRUE(SplitWebList("").empty());
  EXPECT_TRUE(SplitWebList(",a").empty());
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "host" + std::to_string(i) + " 80, ";
  EXPECT_EQ(SplitWebList(many).size(), 1000u);
}

TEST(WebPieces, TelnetNulls) {
  EXPECT_EQ(StripTelnetNulls(std::string("abc\r\0def", 8)), "abcdef");
  EXPECT_EQ(StripTelnetNulls(std::string("\0\0x", 3)), std::string("\0x", 2));
  EXPECT_EQ(StripTelnetNulls(std::string("\r\0\r\0\r\0", 6)), "");
  EXPECT_EQ(StripTelnetNulls("a\r\nb"), "a\r\nb");
  EXPECT_EQ(StripTelnetNulls(""), "");
}

TEST(WebPieces, PageRequestBytes) {
  EXPECT_EQ(BuildPageRequest("/~zunpo/summ.html"),
            "GET /~zunpo/summ.html HTTP/1.0\r\nUser-Agent: Quillweb/5.5\r\nHost: localhost\r\n"
            "Pragma: no-cache\r\n\r\n\r\n\r\n");
  std::string jac = BuildPageRequest("/JAC/allbands.html");
  EXPECT_NE(jac.find(std::string("Host: ") + kWebJacHost + "\r\n"), std::string::npos);
  EXPECT_TRUE(jac.ends_with("Pragma: no-cache\r\n\r\n\r\n\r\n"));
}

TEST(WebPieces, Script) {
  WebScript s = ParseWebScript(
      "' login first\r\n/i login:\r\n\\O G4TST , G4TST-2\r\n/W first\r\n/W "
      ">\r\nnonsense\r\n/\r\n\x01\xff\r\n");
  EXPECT_EQ(s.expectBefore, "login:");
  EXPECT_EQ(s.sendLine, "G4TST , G4TST-2");
  EXPECT_EQ(s.expectAfter, ">");
  EXPECT_EQ(s.SendLineFor(1), "G4TST");
  EXPECT_EQ(s.SendLineFor(2), "G4TST-2");
  WebScript one = ParseWebScript("/O G4TST\r\n");
  EXPECT_EQ(one.SendLineFor(2), "G4TST");
  WebScript garbage = ParseWebScript(std::string("\0\xfe\xff garbage\n\n\r'/I x", 20));
  EXPECT_TRUE(garbage.expectBefore.empty() && garbage.sendLine.empty() && garbage.expectAfter.empty());
}

TEST(WebPieces, ReplyLimits) {
  ReplyReader jac(ReplyKind::JacPage);
  EXPECT_TRUE(jac.Feed(std::string(5000, 'x')));
  EXPECT_EQ(jac.Reply().size(), kJacReplyLimit);

  ReplyReader page(ReplyKind::Page);
  EXPECT_FALSE(page.Feed(std::string(9999, 'x')));
  EXPECT_FALSE(page.Feed("x"));
  EXPECT_TRUE(page.Feed(std::string(10 * 1024 * 1024, 'y')));
  EXPECT_EQ(page.Reply().size(), kPageReplyLimit);

  ReplyReader submission(ReplyKind::Submission);
  EXPECT_FALSE(submission.Feed(std::string(1000, 'x')));
  EXPECT_TRUE(submission.Feed("ab"));
}

TEST(WebPieces, AwaitedTextSplitOverReads) {
  const std::string banner = "Welcome to the web cluster\r\nPlease LOGIN: ";
  // Every split of the banner into two reads, and one byte a read.
  for (std::size_t cut = 0; cut <= banner.size(); ++cut) {
    ScriptWaiter w("login:");
    bool matched = w.Feed(banner.substr(0, cut));
    matched = matched || w.Feed(banner.substr(cut));
    EXPECT_TRUE(matched) << "cut at " << cut;
  }
  ScriptWaiter bytes("login:");
  bool matched = false;
  for (char c : banner) matched = matched || bytes.Feed(std::string(1, c));
  EXPECT_TRUE(matched);
  ScriptWaiter never("login:");
  EXPECT_FALSE(never.Feed(std::string(100000, 'l')));
}

struct Exchange : ::testing::Test {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakeSocketFactory sockets;
  WebScript script;
  WebExchange exchange{sockets, loop, script};
  std::vector<std::string> shown;
  std::optional<WebResult> result;
  int results = 0;

  Exchange() {
    exchange.status = [this](const std::string& t) { shown.push_back(t); };
  }
  fakes::FakeSocket& Begin(const std::string& server = "cluster.example 8000",
                           const std::string& path = "/~zunpo/summ.html", bool submission = false,
                           std::string request = {}) {
    WebRequest r;
    r.server = server;
    r.path = path;
    r.submission = submission;
    r.request = std::move(request);
    EXPECT_TRUE(exchange.Start(r, [this](const WebResult& w) {
      result = w;
      ++results;
    }));
    return *sockets.made.back();
  }
  void Settle() { loop.RunPosted(); }
};

TEST_F(Exchange, SendsThePageRequestAndReadsTillClosed) {
  auto& s = Begin();
  EXPECT_EQ(s.lastHost, "cluster.example");
  EXPECT_EQ(s.lastPort, "8000");
  EXPECT_EQ(shown.back(), "Trying: cluster.example");
  s.AcceptConnection();
  EXPECT_EQ(shown.back(), "Connected: cluster.example");
  EXPECT_EQ(s.sent, BuildPageRequest("/~zunpo/summ.html"));
  s.Arrive(std::string("HTTP/1.0 200 OK\r\n\r\nline\r\0one\r\n", 30));
  s.Arrive("two\r\n");
  EXPECT_FALSE(exchange.Start({}, nullptr)) << "a second exchange while one runs";
  s.RemoteClose();
  EXPECT_FALSE(result) << "the outcome comes from the event loop, not from inside the socket event";
  Settle();
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->ok);
  EXPECT_EQ(result->reply, "HTTP/1.0 200 OK\r\n\r\nlineone\r\ntwo\r\n");
  EXPECT_FALSE(exchange.Running());
  EXPECT_GE(s.closeCalls, 1);
}

TEST_F(Exchange, EveryChunkSplitGivesTheSameReply) {
  const std::string reply = std::string("HTTP/1.0 200 OK\r\nDate: x\r\n\r\nK1ABC  14025.0 DL1XYZ\r\n", 51);
  for (std::size_t piece = 1; piece <= reply.size(); ++piece) {
    result.reset();
    auto& s = Begin();
    s.AcceptConnection();
    for (std::size_t i = 0; i < reply.size(); i += piece) s.Arrive(reply.substr(i, piece));
    s.RemoteClose();
    Settle();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->reply, StripTelnetNulls(reply)) << "pieces of " << piece;
  }
}

TEST_F(Exchange, StallOfSixtySecondsEndsTheReadWithWhatCame) {
  auto& s = Begin();
  s.AcceptConnection();
  s.Arrive("partial line\r\n");
  loop.Advance(59990);
  Settle();
  EXPECT_FALSE(result);
  loop.Advance(20);
  Settle();
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->ok);
  EXPECT_EQ(result->reply, "partial line\r\n");
  EXPECT_EQ(shown.back(), kConnectionTimeOut);
}

TEST_F(Exchange, DataRestartsTheStallButATrickleIsCutOff) {
  auto& s = Begin();
  s.AcceptConnection();
  // One byte a second: the reply never stalls, the whole exchange is bounded.
  int bytes = 0;
  while (!result && bytes < 1000) {
    s.Arrive("x");
    ++bytes;
    loop.Advance(1000);
    Settle();
  }
  ASSERT_TRUE(result);
  EXPECT_EQ(bytes, 2 * kWebStallMs / 1000);
  EXPECT_EQ(result->reply, std::string(static_cast<std::size_t>(bytes), 'x'));
  EXPECT_EQ(shown.back(), kConnectionTimeOut);
}

TEST_F(Exchange, ConnectFailures) {
  auto& refused = Begin();
  refused.Refuse();
  Settle();
  ASSERT_TRUE(result);
  EXPECT_FALSE(result->ok);
  EXPECT_EQ(result->failure, kUnableToConnect);
  EXPECT_EQ(shown.back(), kUnableToConnect);

  result.reset();
  Begin();  // never answers
  loop.Advance(kWebStallMs - 10);
  Settle();
  EXPECT_FALSE(result);
  loop.Advance(20);
  Settle();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->failure, kUnableToConnect);

  result.reset();
  Begin("");
  Settle();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->failure, kUnableToConnect);
}

TEST_F(Exchange, PeerClosingAtOnceOrResettingEndsTheRead) {
  auto& s = Begin();
  s.AcceptConnection();
  s.RemoteClose();
  Settle();
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->ok);
  EXPECT_EQ(result->reply, "");

  result.reset();
  auto& reset = Begin();
  reset.AcceptConnection();
  reset.Arrive("half a pa");
  reset.Refuse(104, "Connection reset by peer");
  Settle();
  ASSERT_TRUE(result);
  EXPECT_TRUE(result->ok);
  EXPECT_EQ(result->reply, "half a pa");
}

TEST_F(Exchange, RequestThatCannotLeaveWaitsThenFails) {
  auto& s = Begin();
  s.LimitSend(10);
  s.AcceptConnection();
  EXPECT_EQ(s.sent.size(), 10u);
  s.Drain();
  EXPECT_EQ(s.sent, BuildPageRequest("/~zunpo/summ.html"));
  s.RemoteClose();
  Settle();

  result.reset();
  auto& stuck = Begin();
  stuck.LimitSend(0);
  stuck.AcceptConnection();
  loop.Advance(kWebStallMs + 10);
  Settle();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->failure, kUnableToSend);
}

struct ScriptedExchange : Exchange {
  ScriptedExchange() {
    script.expectBefore = "login:";
    script.sendLine = "G4TST, G4TST-2";
    script.expectAfter = ">";
  }
};

TEST_F(ScriptedExchange, LogsInBeforeTheRequest) {
  WebRequest r;
  r.server = "cluster.example";
  r.path = "/p.html";
  r.cluster = 2;
  exchange.Start(r, [this](const WebResult& w) { result = w; });
  auto& s = *sockets.made.back();
  s.AcceptConnection();
  EXPECT_EQ(s.sent, "");
  s.Arrive("Welcome\r\nLOG");
  s.Arrive("IN: ");
  EXPECT_EQ(s.sent, "G4TST-2\r\n");
  s.Arrive("G4TST-2 de CLUSTER >");
  EXPECT_EQ(s.sent, "G4TST-2\r\n" + BuildPageRequest("/p.html"));
  s.Arrive("page\r\n");
  s.RemoteClose();
  Settle();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->reply, "page\r\n");
}

TEST_F(ScriptedExchange, AwaitedTextThatNeverComes) {
  auto& s = Begin();
  s.AcceptConnection();
  for (int i = 0; i < 50; ++i) {
    s.Arrive("noise ");
    loop.Advance(1000);
  }
  Settle();
  EXPECT_FALSE(result) << "data keeps the wait alive";
  loop.Advance(kWebStallMs + 10);
  Settle();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->failure, "Timeout on login:");
  EXPECT_EQ(shown.back(), "Timeout on login:");
}

TEST_F(ScriptedExchange, PeerClosingDuringTheLoginIsAFailure) {
  auto& s = Begin();
  s.AcceptConnection();
  s.RemoteClose();
  Settle();
  ASSERT_TRUE(result);
  EXPECT_FALSE(result->ok);
  EXPECT_EQ(result->failure, kUnableToSend);
  EXPECT_EQ(s.sent, "");
}

TEST_F(Exchange, GoOnAtOnceWithBang) {
  script.expectBefore = "!";
  auto& s = Begin();
  s.AcceptConnection();
  EXPECT_EQ(s.sent, BuildPageRequest("/~zunpo/summ.html"));
}

TEST_F(Exchange, AbortCallsNothingLater) {
  auto& s = Begin();
  s.AcceptConnection();
  s.RemoteClose();
  exchange.Abort();
  Settle();
  EXPECT_FALSE(result);
  EXPECT_FALSE(exchange.Running());
}

}  // namespace
}  // namespace qn
