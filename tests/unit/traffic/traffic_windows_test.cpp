#include "traffic/traffic_windows.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "lookups/lookups.h"
#include "session/typed_input.h"
#include "traffic/colours_rules.h"
#include "traffic/spot_pipeline.h"

namespace qn {
namespace {

using fakes::TestApp;

const char* kSpot = "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1432Z\r\n";

struct Windows : ::testing::Test {
  TestApp t;
  fakes::FakeSocketFactory sockets;
  App* app = nullptr;
  TrafficWindows* tw = nullptr;
  std::vector<WindowId> focused;
  std::vector<std::string> clipboard;
  void SetUp() override {
    // A telnet instance (in replay, so nothing connects) has the typed input.
    t.sockets = &sockets;
    app = &t.StartWithCall("/DEMO");
    tw = app->TrafficWin();
    app->onFocusWindow = [this](WindowId id) { focused.push_back(id); };
    tw->setClipboard = [this](const std::string& s) { clipboard.push_back(s); };
  }
  // The caret on the first character of word in a window, as a click leaves it.
  void Caret(WindowId id, const std::string& word, std::size_t length = 0) {
    TextWindow& w = app->Window(id);
    w.SetSelection(w.Text().rfind(word), length);
  }
};

TEST_F(Windows, KeysGoOnToTheTypedInputAndTheCaretToTheEnd) {
  app->Append(WindowId::Spots, kSpot);
  Caret(WindowId::Spots, "JA1XYZ");
  EXPECT_TRUE(tw->KeyPress(WindowId::Spots, TrafficKey::Other));
  EXPECT_EQ(app->Window(WindowId::Spots).SelStart(), app->Window(WindowId::Spots).Text().size());
  // Enter analyses the line under the caret first, then goes on too.
  Caret(WindowId::Spots, "JA1XYZ");
  EXPECT_TRUE(tw->KeyPress(WindowId::Spots, TrafficKey::Enter));
  EXPECT_EQ(tw->Clicked().Values().call, "JA1XYZ");
  EXPECT_FALSE(tw->KeyPress(WindowId::Spots, TrafficKey::Escape));
}

TEST_F(Windows, EscapeRunsTheTypedInputStepsInOrder) {
  ASSERT_NE(app->Typed(), nullptr);
  std::vector<int> ran;
  auto step = [&ran](int n, bool applies) -> std::function<bool()> {
    return [&ran, n, applies] {
      ran.push_back(n);
      return applies;
    };
  };
  app->Typed()->escapeSteps = {step(1, false), step(2, true), step(3, true)};
  tw->KeyPress(WindowId::Talks, TrafficKey::Escape);
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  // The console's ::key Escape takes the same road.
  ran.clear();
  EXPECT_TRUE(app->PressKey("Escape"));
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST_F(Windows, FocusListKeepsTheLastFiveMostRecentLast) {
  for (WindowId id : {WindowId::Spots, WindowId::Talks, WindowId::Terminal, WindowId::Announcements,
                      WindowId::TypedInput, WindowId::Spots, WindowId::Talks})
    tw->FocusReceived(id);
  EXPECT_EQ(tw->FocusList(), (std::deque<int>{5, 1, 4, 3, 2}));
  EXPECT_EQ(tw->Focused(), WindowId::Talks);
  tw->FocusReceived(WindowId::TypedInput);
  EXPECT_EQ(tw->SearchWindow(), WindowId::Terminal)
      << "find searches the terminal unless a traffic window is active";
}

TEST_F(Windows, FunctionKeysFocusTheirWindowsWithTheCaretAtTheEnd) {
  app->Append(WindowId::Spots, kSpot);
  Caret(WindowId::Spots, "JA1XYZ");
  const std::pair<const char*, WindowId> keys[] = {{"F2", WindowId::Spots},
                                                   {"F3", WindowId::Talks},
                                                   {"F4", WindowId::Announcements},
                                                   {"F5", WindowId::TypedInput},
                                                   {"F6", WindowId::Terminal}};
  for (auto [key, id] : keys) {
    ASSERT_TRUE(app->PressKey(key)) << key;
    EXPECT_EQ(focused.back(), id) << key;
    EXPECT_EQ(tw->Focused(), id) << key;
  }
  EXPECT_EQ(app->Window(WindowId::Spots).SelStart(), app->Window(WindowId::Spots).Text().size());
}

TEST_F(Windows, ReleaseCopiesTheSelectionAndAClickAnalyses) {
  app->Append(WindowId::Spots, kSpot);
  Caret(WindowId::Spots, "JA1XYZ", 6);
  tw->MouseRelease(WindowId::Spots, false);
  EXPECT_EQ(clipboard, (std::vector<std::string>{"", "JA1XYZ"})) << "cleared first";
  EXPECT_EQ(tw->Clicked().Values().call, "") << "the second release of a double click analyses nothing";
  Caret(WindowId::Spots, "JA1XYZ");
  tw->MouseRelease(WindowId::Spots, true);
  EXPECT_EQ(tw->Clicked().Values().call, "JA1XYZ");
  EXPECT_EQ(clipboard.size(), 2u) << "nothing selected, nothing copied";
  EXPECT_EQ(app->Lookup()->PresetSearch(), "JA1XYZ") << "the next search question offers it";
}

TEST_F(Windows, RightClickRunsBothOnTheClickedWord) {
  app->Append(WindowId::Spots, kSpot);
  t.Folder().WriteAtomic("WEBSEARCH.TXT",
                         "Z https://z.example/{TEXT}\r\nDUALWEB https://d.example/{TEXT}\r\n");
  t.prompter.answers.push_back(std::nullopt);
  Caret(WindowId::Spots, "JA1XYZ");
  tw->SetRightClick(true);
  tw->MouseRelease(WindowId::Spots, true);
  ASSERT_FALSE(t.prompter.shown.empty());
  EXPECT_EQ(t.prompter.shown.back().title, "Quillnet: Ham Search Online");
  EXPECT_EQ(t.prompter.shown.back().defaultText, "JA1XYZ");
  EXPECT_TRUE(t.urls.opened.empty()) << "cancelled: nothing opened";
  EXPECT_FALSE(tw->RightClick());
  t.prompter.answers.push_back("JA1XYZ");
  tw->SetRightClick(true);
  tw->MouseRelease(WindowId::Spots, true);
  EXPECT_EQ(t.urls.opened,
            (std::vector<std::string>{"https://z.example/JA1XYZ", "https://d.example/JA1XYZ"}));
}

TEST_F(Windows, DoubleClickOnAnIotaLineRunsTheIotaLookupOnce) {
  app->Append(WindowId::Spots,
              "DX de K1ABC:     14260.0  VK9XX        IOTA OC-123 big pileup         1200Z\r\n");
  Caret(WindowId::Spots, "VK9XX");
  tw->MouseRelease(WindowId::Spots, true);
  tw->DoubleClick(WindowId::Spots);
  ASSERT_EQ(app->Lookup()->OpenPages().size(), 1u);
  EXPECT_EQ(app->Lookup()->OpenPages()[0].caption, "OC123: Iota Info");
  EXPECT_EQ(tw->Clicked().Values().iota, "");
  // Cleared: the next double click looks up the clicked word instead.
  t.prompter.answers.push_back(std::nullopt);
  tw->DoubleClick(WindowId::Spots);
  EXPECT_EQ(t.prompter.shown.back().title, "Quillnet: Call/Prefix Info");
}

TEST_F(Windows, ClearBufferEmptiesTheFocusedWindow) {
  app->Append(WindowId::Talks, "<G4ABC>: hi\r\n");
  std::vector<std::string> typed;
  app->onSetTypedLine = [&](const std::string& s) { typed.push_back(s); };
  tw->FocusWindow(WindowId::Talks);
  app->RunMenu("Window/Clear Buffer");
  EXPECT_EQ(app->Window(WindowId::Talks).Text(), "");
  EXPECT_TRUE(typed.empty());
  tw->FocusWindow(WindowId::TypedInput);
  app->Append(WindowId::TypedInput, "sh/dx\r\n");
  app->RunMenu("Window/Clear Buffer");
  EXPECT_EQ(app->Window(WindowId::TypedInput).Text(), "");
  EXPECT_EQ(typed, (std::vector<std::string>{""})) << "the typed line goes too";
}

TEST_F(Windows, ClickOnATalkLineSetsTheTalkerF12Answers) {
  app->Append(WindowId::Talks, "<EA3XYZ>: hello\r\n");
  Caret(WindowId::Talks, "hello");
  tw->MouseRelease(WindowId::Talks, true);
  EXPECT_EQ(app->Pipeline()->Talk().F12Text(), "t EA3XYZ ");
}

TEST_F(Windows, FindAndFindNextIgnoreCaseAndWrapAfterAMiss) {
  app->Window(WindowId::Spots).SetText("one Two\r\ntwo three TWO\r\n");
  tw->FocusReceived(WindowId::Spots);
  t.prompter.answers.push_back("two");
  app->RunMenu("Edit/Find...");
  TextWindow& w = app->Window(WindowId::Spots);
  EXPECT_EQ(w.SelStart(), 4u);
  EXPECT_EQ(w.SelLength(), 3u);
  EXPECT_EQ(focused.back(), WindowId::Spots) << "a hit gives the box the focus";
  app->RunMenu("Edit/Find Next");
  EXPECT_EQ(w.SelStart(), 9u);
  app->RunMenu("Edit/Find Next");
  EXPECT_EQ(w.SelStart(), 19u);
  app->RunMenu("Edit/Find Next");
  EXPECT_EQ(t.prompter.shown.back().text, "Search text not found");
  EXPECT_EQ(tw->Finder().LastHit(), 0u);
  app->RunMenu("Edit/Find Next");
  EXPECT_EQ(w.SelStart(), 4u) << "after a miss the search starts at the top";
  // An empty answer changes nothing, the stored text included.
  t.prompter.answers.push_back("");
  app->RunMenu("Edit/Find...");
  EXPECT_EQ(tw->Finder().SearchText(), "two");
  EXPECT_EQ(w.SelStart(), 4u);
}

TEST_F(Windows, FindSearchesTheTerminalWhenNoTrafficWindowIsActive) {
  app->Window(WindowId::Terminal).SetText("login: g4abc\r\n");
  t.prompter.answers.push_back("LOGIN");
  app->RunMenu("Edit/Find...");
  EXPECT_EQ(app->Window(WindowId::Terminal).SelLength(), 5u);
}

TEST(ColoursRules, SamplesScrollBarsAndSave) {
  TestApp t;
  App& app = t.StartWithCall("/DEMO");
  int applied = 0;
  app.TrafficWin()->applyColours = [&] { ++applied; };
  ColoursRules dlg(app.Settings());
  dlg.SelectSample(ColourSample::Dx);
  // The spot box's default background is pure blue.
  EXPECT_EQ(dlg.Red(), 0);
  EXPECT_EQ(dlg.Blue(), 255);
  dlg.SetRed(300);
  dlg.SetGreen(-4);
  dlg.SetBlue(16);
  EXPECT_EQ(dlg.Mixed(), Rgb(255, 0, 16));
  dlg.Foreground();
  dlg.SelectSample(ColourSample::Tx);
  dlg.SetRed(1);
  dlg.SetGreen(2);
  dlg.SetBlue(3);
  dlg.Background();
  EXPECT_EQ(app.Settings().spotColours.text, 65535) << "nothing stored before Save";
  dlg.Save(app, app.TrafficWin());
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(app.Settings().spotColours.text, Rgb(255, 0, 16));
  EXPECT_EQ(app.Settings().typedInputColours.back, Rgb(1, 2, 3));
  AppSettings stored;
  stored.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_EQ(stored.spotColours.text, Rgb(255, 0, 16));
  EXPECT_EQ(stored.typedInputColours, app.Settings().typedInputColours);
  EXPECT_EQ(std::string(SampleInfo(ColourSample::Rx).caption), "Rx Sample");
}

}  // namespace
}  // namespace qn
