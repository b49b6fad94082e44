#include "session/typed_input.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "core/text.h"
#include "fakes/fake_byte_link.h"
#include "fakes/test_app.h"
#include "session/macros_rules.h"
#include "session/sender.h"
#include "session/transports.h"

namespace qn {
namespace {

class TypedInputTest : public ::testing::Test {
 protected:
  TypedInputTest()
      : app(t.Make()),
        transport(link, app.State().keepAliveLines),
        sender(app.State().sendTerminator, app.Loop(), &transport),
        input(app, sender) {
    app.onTypedLine = [this](const std::string& line) { input.Enter(line); };
    input.stopAutomaticConnection = [this](bool keep) {
      stops.push_back(keep);
      sentAtStop = link.sent;
    };
  }
  std::string Box() { return app.Window(WindowId::TypedInput).Text(); }
  void Irc() {
    sender.sessionFlags = [] {
      SessionFlags f;
      f.irc = true;
      f.robotNick = "ROBOT";
      f.ircChannel = "#CQDX";
      return f;
    };
  }

  fakes::TestApp t;
  App& app;
  fakes::FakeByteLink link;
  LinkTransport transport;
  Sender sender;
  TypedInput input;
  std::vector<bool> stops;
  std::string sentAtStop = "<never>";
};

TEST_F(TypedInputTest, EnterEchoesSendsAndResetsThePrompt) {
  app.Frame().SetPrompt("F12: talk answer");
  app.TypeLine("sh/dx 5");
  EXPECT_EQ(Box(), "sh/dx 5\r\n");
  EXPECT_EQ(link.sent, "sh/dx 5\n");
  EXPECT_EQ(app.Frame().Prompt(), FrameState::kDefaultPrompt);
  // An empty line still sends its line end; the session's terminator is used.
  app.State().sendTerminator = "\r\n";
  app.TypeLine("");
  EXPECT_EQ(link.sent, "sh/dx 5\n\r\n");
  EXPECT_EQ(Box(), "sh/dx 5\r\n\r\n");
}

TEST_F(TypedInputTest, TypedLineGoesToTheCapture) {
  std::filesystem::path file = t.dir.Path() / "cap.txt";
  ASSERT_TRUE(app.CaptureFile().Open(file, false, false));
  app.TypeLine("sh/wwv");
  app.CaptureFile().Close();
  EXPECT_EQ(ReadFile(file), "sh/wwv\r\n");
  // The prompt keeps telling that a capture runs.
  ASSERT_TRUE(app.CaptureFile().Open(file, false, true));
  app.TypeLine("x");
  EXPECT_EQ(app.Frame().Prompt(), "Capture ON");
}

TEST_F(TypedInputTest, LeaveWordsStopTheReconnectionBeforeSending) {
  app.TypeLine(" bye ");
  ASSERT_EQ(stops, std::vector<bool>{false});
  EXPECT_EQ(sentAtStop, "");
  EXPECT_EQ(link.sent, " bye \n");

  stops.clear();
  app.TypeLine("b");  // the node's logout itself: no reset
  EXPECT_TRUE(stops.empty());
  EXPECT_EQ(link.sent, " bye \nb\n");

  for (const char* w : {"by", "*B", "*by", "BYE", "*bye"})
    EXPECT_TRUE(TypedInput::IsLeaveWord(w, false)) << w;
  for (const char* w : {"b", "bye now", "/ex", "BYEBYE"})
    EXPECT_FALSE(TypedInput::IsLeaveWord(w, false)) << w;
  for (const char* w : {"/EX", "/exi", "/exit", "/by", "/bye"})
    EXPECT_TRUE(TypedInput::IsLeaveWord(w, true)) << w;
  EXPECT_FALSE(TypedInput::IsLeaveWord("bye", true));
}

TEST_F(TypedInputTest, AuxEscapeTextSkipsTheNode) {
  std::string aux;
  input.auxCommand = [&](const std::string& text) {
    if (!StartsWith(text, "+++")) return false;
    aux = text;
    return true;
  };
  app.TypeLine("+++bye");
  EXPECT_EQ(aux, "+++bye\n");
  EXPECT_TRUE(link.sent.empty());
  EXPECT_TRUE(stops.empty());
  app.TypeLine("hello");
  EXPECT_EQ(link.sent, "hello\n");
}

TEST_F(TypedInputTest, WebSessionQueuesCheckedSubmissions) {
  app.State().sessionKind = SessionKind::Web;
  std::string web;
  bool running = true;
  HookTransport webQueue(false, "");
  webQueue.deliver = [&](const std::string& s) { web += s; };
  sender.SetTransport(&webQueue);
  input.webSubmissionRunning = [&] { return running; };
  input.checkSubmissionLine = [](const std::string& line) -> std::optional<std::string> {
    if (line.find(' ') == std::string::npos) return std::nullopt;
    return line;
  };
  app.TypeLine("ZX9AB 14025 ZX1AA tnx");
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, TypedInput::kWebBusy);
  EXPECT_EQ(t.prompter.shown[0].icon, MsgIcon::Exclamation);
  EXPECT_TRUE(web.empty());

  running = false;
  app.TypeLine("nonsense");
  EXPECT_TRUE(web.empty());
  app.TypeLine("ZX9AB 14025 ZX1AA tnx");
  EXPECT_EQ(web, "ZX9AB 14025 ZX1AA tnx\r\n");
  EXPECT_TRUE(link.writes.empty());
}

TEST_F(TypedInputTest, MacrosGoThroughTheRawSendPath) {
  input.AltDigit(1);
  EXPECT_EQ(link.sent, "sh/dx\ndi/n\n");
  app.Settings().macros[9] = "sh/wwv/3,";
  input.AltDigit(0);
  EXPECT_EQ(link.sent, "sh/dx\ndi/n\nsh/wwv/3\n");
  input.AltDigit(5);  // empty macro: nothing
  EXPECT_EQ(link.writes.size(), 2u);

  // The pending output is pushed afterwards.
  link.room = 0;
  input.AltDigit(2);
  EXPECT_EQ(link.flushes, 1);
}

TEST_F(TypedInputTest, IrcMacrosAskTheRobot) {
  Irc();
  EXPECT_EQ(input.MacroText(1), "/CTCP ROBOT sh/dx ");
  EXPECT_EQ(input.MacroText(5), "/CTCP ROBOT ann ");
  EXPECT_EQ(input.MacroText(6), "/away :");
  EXPECT_EQ(input.MacroText(7), "/nick ");
  app.Settings().macros[7] = "mine,";
  EXPECT_EQ(input.MacroText(8), "mine,");
  // The request is completed by the typed line.
  input.AltDigit(1);
  EXPECT_TRUE(link.sent.empty());
  app.TypeLine("20");
  EXPECT_EQ(link.sent, "PRIVMSG ROBOT :\x01SH/DX 20\x01\n");
}

TEST_F(TypedInputTest, KeepAliveRestartsWithTypingOnlyForOneLine) {
  int resets = 0;
  transport.resetKeepAliveMinutes = [&] { ++resets; };
  app.State().keepAliveLines[0] = "SH/DX";
  app.TypeLine("hello");
  EXPECT_EQ(resets, 1);
  app.State().keepAliveLines[1] = "SH/WWV";
  app.TypeLine("hello");
  EXPECT_EQ(resets, 1);
}

TEST_F(TypedInputTest, PasteKeepsTheBoxUnderItsLimit) {
  EXPECT_EQ(input.Paste("sh/", "dx\r\nnext\r\npart"), "part");
  EXPECT_EQ(Box(), "sh/dx\r\nnext\r\n");
  EXPECT_TRUE(link.sent.empty());  // pasting sends nothing

  std::string lines;
  for (int i = 0; i < 400; ++i) lines += std::string(48, 'a' + i % 26) + "\r\n";  // 20000 characters
  input.Paste("", lines);
  std::string rest = input.Paste("", lines + std::string(100, 'q'));
  EXPECT_LT(Box().size() + rest.size(), TextWindow::kLimit);
  EXPECT_EQ(rest, std::string(100, 'q'));
  EXPECT_TRUE(EndsWith(Box(), lines));

  std::string huge = input.Paste("", std::string(40000, 'z'));
  EXPECT_LT(Box().size() + huge.size(), TextWindow::kLimit);
}

TEST_F(TypedInputTest, EscapeRunsTheFirstStepThatApplies) {
  std::vector<int> ran;
  input.escapeSteps = {[&] {
                         ran.push_back(1);
                         return false;
                       },
                       [&] {
                         ran.push_back(2);
                         return true;
                       },
                       [&] {
                         ran.push_back(3);
                         return true;
                       }};
  app.TypeLine("abc");
  app.Window(WindowId::TypedInput).SetSelection(0, 2);
  input.Escape();
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  EXPECT_EQ(app.Window(WindowId::TypedInput).SelStart(), Box().size());
  EXPECT_EQ(app.Window(WindowId::TypedInput).SelLength(), 0u);
}

TEST(MacrosDialog, SaveStoresTheTextsAndTheConfiguration) {
  fakes::TestApp t;
  App& app = t.Make();
  MacroFields f = MacrosDialogLoad(app.Settings());
  EXPECT_EQ(f.texts[0], "sh/dx,di/n,");
  EXPECT_EQ(f.texts[1], "sh/dx,");
  f.texts[9] = "sh/ann,";
  f.texts[2] = "two\r\nlines";
  MacrosDialogSave(app, f);
  EXPECT_EQ(app.Settings().macros[9], "sh/ann,");
  AppSettings stored;
  ASSERT_EQ(stored.Parse(*t.Folder().Read("quillnet.cfg")), AppSettings::kLines);
  EXPECT_EQ(stored.macros[9], "sh/ann,");
  EXPECT_EQ(stored.macros[2], "twolines");
  EXPECT_EQ(MacroLabel(0), "Alt+&1");
  EXPECT_EQ(MacroLabel(9), "Alt+&0");
  EXPECT_EQ(MacroBoxName(9), "Txtmac10");
}

}  // namespace
}  // namespace qn
