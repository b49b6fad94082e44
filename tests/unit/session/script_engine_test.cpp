#include "session/script_engine.h"

#include <gtest/gtest.h>

#include "app/session_wiring.h"
#include "core/site_file.h"
#include "core/text.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "session/receiver.h"
#include "session/tcp_link.h"

namespace qn {
namespace {

constexpr int kUseScript = 1;
constexpr int kReconnect = 2;
constexpr std::int64_t kMinute = 60000;

// A telnet session, the real receive path and the engine, wired as the app
// wires them, on the fake socket and virtual time.
class ScriptEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.StartWithCall("");
    link = std::make_unique<TcpLink>(sockets);
    session = std::make_unique<ConnectionControl>(*t.app, *link);
    rx = std::make_unique<Receiver>(t.app->Window(WindowId::Terminal), &t.app->CaptureFile());
    engine = std::make_unique<ScriptEngine>(*t.app, *session);
    ConnectScript(*session, *engine);
    rx->sendRaw = [this](std::string_view b) { link->Write(b); };
    rx->scriptMatcher = [this](std::string& transcript) { engine->ScriptMatcher(transcript); };
    rx->terminalChanged = [this] { session->CheckLoginPrompt(); };
    session->onReceived = [this](std::string_view b) { rx->OnData(b); };
    session->onNewConnection = [this] { rx->MarkNewConnection(); };
    t.app->onSendLine = [this](const std::string& s) { link->Write(s); };
  }

  void AddSite(const std::string& name, int autoFlags, const std::optional<std::string>& script) {
    SiteRecord r;
    r.SetName(name);
    r.SetAddress(name + ".example");
    r.SetPortType('0');
    r.SetKeepAliveEnabled(false);
    r.SetKeepAlivePeriod("0");
    r.SetAutoFlags(autoFlags);
    SiteFile(t.Folder(), SessionKind::Telnet).Append(r);
    if (script) t.Folder().WriteAtomic(ScriptFileName(name, false), *script);
  }
  // Connects the site and lets the node accept.
  void Connect(const std::string& name) {
    ASSERT_TRUE(session->ConnectSite(name, true));
    Sock().AcceptConnection();
  }
  fakes::FakeSocket& Sock() { return *sockets.made.back(); }
  std::string Terminal() { return t.app->Window(WindowId::Terminal).Text(); }

  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
  std::unique_ptr<TcpLink> link;
  std::unique_ptr<ConnectionControl> session;
  std::unique_ptr<Receiver> rx;
  std::unique_ptr<ScriptEngine> engine;
};

const char* const kFiveLines =
    "/W login:\r\n"
    "/S $$$$\r\n"
    "/W password:\r\n"
    "/S secret\r\n"
    "/P >\r\n";

TEST_F(ScriptEngineTest, FiveLineLoginAndTheSuccessPatternStopsTheRetries) {
  AddSite("node", kUseScript | kReconnect, kFiveLines);
  Connect("node");
  EXPECT_EQ(session->AutoState(), AutoState::FirstAttempt);
  EXPECT_EQ(Sock().sent, "");
  Sock().Arrive("Welcome to the node\r\nlog");
  EXPECT_EQ(Sock().sent, "");
  Sock().Arrive("in: ");  // split across two arrivals
  // Sent once: the first login prompt does not start the running script over.
  EXPECT_EQ(Sock().sent, "G4TST\n");
  EXPECT_EQ(t.app->Frame().Status(), "W:password:...");
  Sock().Arrive("Password: ");
  EXPECT_EQ(Sock().sent, "G4TST\nsecret\n");
  EXPECT_EQ(session->AutoState(), AutoState::Off);
  // Until the node's prompt shows, the retry timer still guards the login.
  EXPECT_TRUE(session->AutoTimerRunning());
  Sock().Arrive("\r\nHello G4TST\r\nG4TST de NODE >\r\n");
  EXPECT_FALSE(session->AutoTimerRunning());
  t.loop.Advance(10 * kMinute);
  EXPECT_EQ(sockets.made.size(), 1u);
  EXPECT_EQ(Sock().sent, "G4TST\nsecret\n");
}

TEST_F(ScriptEngineTest, EachReconnectionAfterADropLogsInAgain) {
  AddSite("node", kUseScript | kReconnect, kFiveLines);
  Connect("node");
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    Sock().Arrive("login: ");
    Sock().Arrive("password: ");
    Sock().Arrive("node >");
    EXPECT_EQ(Sock().sent, "G4TST\nsecret\n");
    EXPECT_FALSE(session->AutoTimerRunning());
    if (round == 3) break;
    Sock().RemoteClose();
    t.loop.Advance(kMinute);  // the first attempt comes at the next tick
    ASSERT_EQ(sockets.made.size(), static_cast<std::size_t>(round + 1));
    Sock().AcceptConnection();
  }
}

TEST_F(ScriptEngineTest, AWaitThatNeverComesRetriesAfterTheInterval) {
  AddSite("node", kUseScript, "/W login:\r\n/S $$$$\r\n");
  ASSERT_TRUE(session->ConnectSite("node", true));
  t.loop.Advance(30000);
  Sock().AcceptConnection();  // the wait starts here, 30 s after the attempt
  Sock().Arrive("Welcome\r\nPlease log on\r\n");
  t.loop.Advance(2 * kMinute - 1);
  EXPECT_EQ(sockets.made.size(), 1u);
  t.loop.Advance(1);
  EXPECT_EQ(sockets.made.size(), 2u);
  EXPECT_EQ(t.clock.NowMs(), 30000 + 2 * kMinute);
}

TEST_F(ScriptEngineTest, FirstLineRetryIntervalAndUnlimitedTries) {
  AddSite("slow", kUseScript, "/T 5\r\n/R 0\r\n/W never\r\n/T 7\r\n");
  Connect("slow");
  EXPECT_EQ(session->RetryIntervalMinutes(), 5);
  EXPECT_EQ(t.app->State().retryCounter, 30000);
  t.loop.Advance(5 * kMinute - 1);
  EXPECT_EQ(sockets.made.size(), 1u);
  t.loop.Advance(1);
  EXPECT_EQ(sockets.made.size(), 2u);
  // Unlimited: attempt after attempt, never "Retry count exceeded".
  for (int i = 0; i < 5; ++i) {
    Sock().Refuse();
    t.loop.Advance(5 * kMinute);
  }
  EXPECT_EQ(sockets.made.size(), 7u);
  EXPECT_NE(t.app->Frame().Status(), "Retry count exceeded");
}

TEST_F(ScriptEngineTest, RetryIntervalZeroGivesTwoAndALaterTLineRunsWhenReached) {
  AddSite("node", kUseScript, "/T 0\r\n/W go\r\n/T 5\r\n/W never\r\n");
  Connect("node");
  EXPECT_EQ(session->RetryIntervalMinutes(), 2);
  Sock().Arrive("go");
  EXPECT_EQ(session->RetryIntervalMinutes(), 5);
  EXPECT_EQ(t.app->Frame().Status(), "W:never...");
}

TEST_F(ScriptEngineTest, RetryLimitArmsTheCounterAndCutsRunningTries) {
  AddSite("node", kUseScript, "/R 3\r\n/W never\r\n");
  ASSERT_TRUE(session->ConnectSite("node", true));
  EXPECT_EQ(t.app->State().retryCounter, 3);
  Sock().Refuse();
  for (int minute = 1; minute <= 8; ++minute) {
    std::size_t before = sockets.made.size();
    t.loop.Advance(kMinute);
    if (sockets.made.size() != before) Sock().Refuse();
  }
  EXPECT_EQ(sockets.made.size(), 3u);  // three attempts in all
  EXPECT_EQ(t.app->Frame().Status(), "Retry count exceeded");

  // Tries already running (five left) are cut to the script's limit.
  t.app->State().retryCounter = -5;
  engine->LoadScript();
  EXPECT_EQ(t.app->State().retryCounter, -3);
  t.app->State().retryCounter = -2;
  engine->LoadScript();
  EXPECT_EQ(t.app->State().retryCounter, -2);
}

TEST_F(ScriptEngineTest, EmptyWaitWaitsForALoginPrompt) {
  AddSite("node", kUseScript, "/W\r\n/S $$$$$\r\n");
  Connect("node");
  EXPECT_TRUE(engine->WaitingForLoginPrompt());
  Sock().Arrive("Welcome, this node has no login word\r\n");
  EXPECT_EQ(Sock().sent, "");
  Sock().Arrive("login: ");
  EXPECT_EQ(Sock().sent, "g4tst\n");
}

TEST_F(ScriptEngineTest, PlaceholdersAndRawLines) {
  t.app->Settings().ownCallsign = "G4Tst";
  std::vector<std::string> typed, raw;
  engine->sendTyped = [&](const std::string& s) { typed.push_back(s); };
  engine->sendRaw = [&](const std::string& s) { raw.push_back(s); };
  AddSite("node", kUseScript, "/S $$$$$ and $$$$$\r\n/S call $$$$ $$$$\r\n/S !!!^C,$$$$\r\n");
  Connect("node");
  EXPECT_EQ(typed, (std::vector<std::string>{"g4tst and $$$$$", "call G4Tst $$$$"}));
  EXPECT_EQ(raw, (std::vector<std::string>{"!!!^C,G4Tst"}));
}

TEST_F(ScriptEngineTest, Term3EndsLinesInCrLfForTheRestOfTheSession) {
  AddSite("node", kUseScript, "/S one\r\n/C term 3\r\n/S two\r\n");
  Connect("node");
  EXPECT_EQ(Sock().sent, "one\ntwo\r\n");
  EXPECT_EQ(t.app->State().sendTerminator, "\r\n");
  t.app->SendLine("typed" + t.app->State().sendTerminator);
  EXPECT_EQ(Sock().sent, "one\ntwo\r\ntyped\r\n");
}

TEST_F(ScriptEngineTest, UnusableScriptWarnsOnceAndDisablesTheAutomaticConnection) {
  AddSite("nofile", kUseScript | kReconnect, std::nullopt);
  AddSite("unedited", kUseScript, "/W login:\r\n/S Yourcall\r\n");
  AddSite("manual", 0, std::nullopt);
  Connect("nofile");
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, ScriptEngine::kUnusableWarning);
  EXPECT_EQ(t.prompter.shown[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(session->AutoState(), AutoState::Off);
  EXPECT_FALSE(session->Flags().autoReconnect);
  EXPECT_FALSE(t.app->Frame().Item("mnuautoc").enabled);
  Sock().RemoteClose();
  t.loop.Advance(5 * kMinute);
  EXPECT_EQ(sockets.made.size(), 1u);  // no reconnection either

  Connect("unedited");
  EXPECT_EQ(t.prompter.shown.size(), 2u);
  Sock().Arrive("login: ");
  EXPECT_EQ(Sock().sent, "");
  // A site that asks for nothing automatic is not warned about.
  Connect("manual");
  EXPECT_EQ(t.prompter.shown.size(), 2u);
}

TEST_F(ScriptEngineTest, TranscriptIsCutToTheLongestTextStillSearched) {
  AddSite("node", kUseScript, "/P node >\r\n/I Name:\r\n/O Fred\r\n/W password:\r\n");
  Connect("node");
  Sock().Arrive(std::string(500, 'x') + "\r\n");
  EXPECT_EQ(rx->Transcript().size(), std::string("password:").size());
  Sock().Arrive("pass");
  Sock().Arrive("word: ");
  EXPECT_EQ(engine->WaitText(), "");
  // Only the trigger and the pattern are left to look for.
  Sock().Arrive(std::string(300, 'y'));
  EXPECT_EQ(rx->Transcript().size(), std::string("node >").size());
}

TEST_F(ScriptEngineTest, SeveralWaitsInOneArrivalAndAWaitNeedsNewText) {
  AddSite("node", kUseScript, "/W welcome\r\n/W login:\r\n/S $$$$\r\n/W >\r\n/S sh/dx\r\n/W >\r\n/S bye\r\n");
  Connect("node");
  Sock().Arrive("Welcome to the node\r\nlogin: ");
  EXPECT_EQ(Sock().sent, "G4TST\n");
  Sock().Arrive("G4TST de NODE >");
  EXPECT_EQ(Sock().sent, "G4TST\nsh/dx\n");
  // The second "/W >" is not satisfied by the ">" the first one consumed.
  Sock().Arrive("\r\nno spots\r\n");
  EXPECT_EQ(Sock().sent, "G4TST\nsh/dx\n");
  Sock().Arrive("G4TST de NODE >");
  EXPECT_EQ(Sock().sent, "G4TST\nsh/dx\nbye\n");
}

TEST_F(ScriptEngineTest, WithoutSuccessPatternsTheEndOfTheScriptEndsTheRetries) {
  AddSite("node", kUseScript, "/W login:\r\n/S $$$$\r\n/K sh/dx\r\n");
  Connect("node");
  Sock().Arrive("login: ");
  EXPECT_EQ(session->AutoState(), AutoState::Off);
  EXPECT_FALSE(session->AutoTimerRunning());
  EXPECT_EQ(t.app->State().keepAliveLines[0], "sh/dx");
  t.loop.Advance(10 * kMinute);
  EXPECT_EQ(sockets.made.size(), 1u);
}

TEST_F(ScriptEngineTest, TriggerAnswersOnceAndBangAnswersOnConnect) {
  std::vector<std::string> raw;
  engine->sendRaw = [&](const std::string& s) { raw.push_back(s); };
  AddSite("node", kUseScript, "/I Your name\r\n/O Fred\r\n/W never\r\n");
  AddSite("bang", kUseScript, "/I !\r\n/O hello!!!\r\n/W never\r\n");
  Connect("node");
  EXPECT_TRUE(raw.empty());
  Sock().Arrive("Your na");
  Sock().Arrive("me please: ");
  Sock().Arrive("Your name please: ");
  EXPECT_EQ(raw, (std::vector<std::string>{"\nFred"}));
  EXPECT_EQ(engine->TriggerText(), "");
  raw.clear();
  Connect("bang");
  EXPECT_EQ(raw, (std::vector<std::string>{"\nhello"}));
}

TEST_F(ScriptEngineTest, EchoTitleChatAndSwitches) {
  int robots = 0;
  std::vector<bool> exchange;
  engine->robotTitleSet = [&] { ++robots; };
  engine->exchangeChanged = [&](bool on) { exchange.push_back(on); };
  engine->cryptoTableLoaded = [] { return false; };
  AddSite("node", kUseScript,
          "/E Logging in...\r\n/F dxrobot one\r\n/B 2 Welcome/enjoy \r\n/C EXCHANGE OFF\r\n/C CRYPTO ON\r\n"
          "/C LOGIN.SCR\r\n/W never\r\n");
  AddSite("plain", 0, "/S hello\r\n");
  Connect("node");
  EXPECT_TRUE(EndsWith(Terminal(), "\r\nLogging in..."));
  EXPECT_EQ(session->CustomTitle(), "dxrobot one");
  EXPECT_EQ(t.app->Frame().Title(), "Quillnet [dxrobot one]");
  EXPECT_EQ(robots, 1);
  EXPECT_EQ(engine->ChatType(), '2');
  EXPECT_EQ(engine->Greeting(), "Welcome/enjoy");
  EXPECT_FALSE(engine->ExchangeOn());
  EXPECT_FALSE(t.app->Options().crypto);  // no valid crypto table

  // The session reset takes back "/B" and the exchange switch; a script
  // without "/F" drops the title.
  ASSERT_TRUE(session->ConnectSite("plain", true));
  EXPECT_EQ(engine->ChatType(), 0);
  EXPECT_TRUE(engine->ExchangeOn());
  EXPECT_EQ(session->CustomTitle(), "");
  EXPECT_EQ(exchange.back(), true);
}

TEST_F(ScriptEngineTest, IrcWordsAreNotSent) {
  std::vector<std::string> programs;
  int registrations = 0;
  engine->startProgram = [&](const std::string& p, const std::vector<std::string>& args) {
    programs.push_back(p + " " + args.at(0));
  };
  engine->registerIrc = [&] { ++registrations; };
  AddSite("irc", kUseScript,
          "/S \"IDENTD\"\r\n/S \"IRC\"\r\n/S JOIN #dxers secret\r\n/S \"NICK\"\r\n/S hi\r\n"
          "/S \"NOIRC\"\r\n");
  Connect("irc");
  EXPECT_EQ(programs, (std::vector<std::string>{"identd.exe G4TST"}));
  EXPECT_EQ(registrations, 1);
  EXPECT_EQ(session->Modes().ircChannel, "#DXERS");
  EXPECT_EQ(engine->IrcChannelKey(), "secret");
  EXPECT_FALSE(session->Modes().irc);
  EXPECT_EQ(Sock().sent, "hi\n");
}

TEST_F(ScriptEngineTest, HugeScriptsAndLongLines) {
  std::string big;
  while (big.size() < (1u << 20))
    big += "a line of text the engine skips, " + std::to_string(big.size()) + "\r\n";
  big += "/K " + std::string(100000, 'k') + "\r\n/S done\r\n";
  AddSite("big", kUseScript, big);
  std::vector<std::string> typed;
  engine->sendTyped = [&](const std::string& s) { typed.push_back(s); };
  Connect("big");
  EXPECT_EQ(typed, (std::vector<std::string>{"done"}));
  EXPECT_EQ(t.app->State().keepAliveLines[0].size(), 100000u);

  // A wait longer than anything that arrives: never satisfied, nothing lost.
  AddSite("long", kUseScript, "/W " + std::string(100000, 'w') + "\r\n/S never\r\n");
  Connect("long");
  for (int i = 0; i < 90; ++i) Sock().Arrive(std::string(999, 'w') + "\r\n");
  EXPECT_EQ(typed.size(), 1u);
  EXPECT_EQ(rx->Transcript().size(), 90u * 1001u);
  Sock().Arrive(std::string(20000, 'w'));
  EXPECT_EQ(rx->Transcript().size(), 100000u);
  t.loop.Advance(2 * kMinute);
  EXPECT_EQ(sockets.made.size(), 3u);  // the wait's time-out retries
}

}  // namespace
}  // namespace qn
