#include "core/frame_commands.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "fakes/test_app.h"

namespace qn {
namespace {

class RecordingDesktop : public Printer, public HelpViewer, public SystemMemory {
 public:
  bool Print(const std::string& title, const std::string& text) override {
    printed.push_back(title + "|" + text);
    return true;
  }
  bool Show(const std::string& document, const std::string& topic) override {
    helped.push_back(document + "#" + topic);
    return helpWorks;
  }
  std::optional<std::string> MemInfo() override { return meminfo; }
  std::vector<std::string> printed;
  std::vector<std::string> helped;
  bool helpWorks = true;
  std::optional<std::string> meminfo;
};

const char* const kMemInfo =
    "MemTotal:       16318208 kB\n"
    "MemFree:         1000000 kB\n"
    "MemAvailable:    8159104 kB\n"
    "SwapTotal:       2097148 kB\n"
    "CommitLimit:    10256248 kB\n"
    "Committed_AS:    5128124 kB\n";

TEST(AboutBox, MemoryFiguresFromTheSystem) {
  auto m = ParseMemInfo(kMemInfo);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->totalPhysical, 16318208u);
  EXPECT_EQ(m->availablePhysical, 8159104u);
  EXPECT_EQ(m->commitAvailable, 10256248u - 5128124u);
  // 100 * (7967 + 5007) / (15935 + 10015) = 49.99: each figure and the result are cut, not rounded.
  EXPECT_EQ(AboutText(m),
            "Quillnet32, version 5.5\n________________________\nMemory:16318208 Kb \n"
            "Free system resources:49 %");

  // An overcommitted system has nothing left to promise; an old kernel has no MemAvailable.
  auto over = ParseMemInfo("MemTotal: 1024 kB\nMemFree: 512 kB\nCommitLimit: 100 kB\nCommitted_AS: 900 kB\n");
  ASSERT_TRUE(over);
  EXPECT_EQ(over->availablePhysical, 512u);
  EXPECT_EQ(over->commitAvailable, 0u);
  EXPECT_FALSE(ParseMemInfo("SwapTotal: 0 kB\n"));
  EXPECT_NE(AboutText(std::nullopt).find("Memory: unknown"), std::string::npos);
}

TEST(Fonts, StoredDefaultShowsAsTheSystemFontAndStaysStored) {
  EXPECT_EQ(FrameCommands::ShownFamily("Fixedsys"), "");
  EXPECT_EQ(FrameCommands::ShownFamily(" FIXEDSYS "), "");
  EXPECT_EQ(FrameCommands::ShownFamily("DejaVu Sans Mono"), "DejaVu Sans Mono");

  fakes::TestApp t;
  App& app = t.StartWithCall("");
  FrameCommands& fc = *app.FrameCmds();
  EXPECT_EQ(fc.CurrentFont(), (FontChoice{"Fixedsys", 9, false, false}));
  int redrawn = 0;
  app.onAppearanceChanged = [&] { ++redrawn; };
  fc.ChooseFont({"DejaVu Sans Mono", 11, true, false});
  EXPECT_EQ(redrawn, 1);
  AppSettings saved;
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_EQ(saved.fontName, "DejaVu Sans Mono");
  EXPECT_EQ(saved.fontSize, "11");
  EXPECT_EQ(saved.fontBold, "1");
  EXPECT_EQ(saved.fontItalic, "0");
  // A dialog that returned no family changes nothing.
  fc.ChooseFont({"", 10, false, false});
  EXPECT_EQ(app.Settings().fontName, "DejaVu Sans Mono");
}

TEST(RestoreDefaults, AsksFirstAndPutsColoursFontAndPlacesBack) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  app.Settings().spotColours = {1, 2};
  app.Settings().fontName = "Terminus";
  app.WindowPositions().spots = {100, 200, 3000, 4000};
  app.WindowPositions().frame = {15, 30, 9000, 6000};

  t.prompter.buttonAnswers.push_back(MsgResult::No);
  ASSERT_TRUE(app.RunMenu("Window/Restore Defaults"));
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, FrameCommands::kRestoreQuestion);
  EXPECT_EQ(t.prompter.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(app.Settings().fontName, "Terminus");

  t.prompter.buttonAnswers.push_back(MsgResult::Yes);
  app.RunMenu("Window/Restore Defaults");
  const AppSettings defaults;
  EXPECT_EQ(app.Settings().spotColours, defaults.spotColours);
  EXPECT_EQ(app.Settings().fontName, "Fixedsys");
  EXPECT_FALSE(app.WindowPositions().ChildrenStored());
  EXPECT_EQ(app.WindowPositions().frame, (Rect{15, 30, 9000, 6000}));
  AppSettings saved;
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_EQ(saved.spotColours, defaults.spotColours);
  Positions pos;
  pos.Parse(*t.Folder().Read(PositionFileName(SessionKind::Telnet, 1)));
  EXPECT_FALSE(pos.ChildrenStored());
}

TEST(VerticalScrollBars, ToggleIsCheckedAndSavedAtOnce) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  EXPECT_FALSE(app.Frame().Item("mnuvscroll").checked);
  ASSERT_TRUE(app.RunMenu("Configuration/Vertical Scroll Bars"));
  EXPECT_TRUE(app.Frame().Item("mnuvscroll").checked);
  EXPECT_TRUE(app.Options().verticalScrollBars);
  AppSettings saved;
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_TRUE(saved.verticalScrollBars);
  app.RunMenu("Configuration/Vertical Scroll Bars");
  saved.Parse(*t.Folder().Read("quillnet.cfg"));
  EXPECT_FALSE(saved.verticalScrollBars);
}

TEST(FrameCommandsMenu, PrintAboutHelpAndSavePositions) {
  fakes::TestApp t;
  App& app = t.StartWithCall("");
  RecordingDesktop desk;
  desk.meminfo = kMemInfo;
  app.FrameCmds()->SetDesktop(&desk, &desk, &desk);

  app.Window(WindowId::Terminal).SetText("line one\r\nline two\r\n");
  ASSERT_TRUE(app.PressKey("Shift+F2"));
  ASSERT_EQ(desk.printed.size(), 1u);
  EXPECT_EQ(desk.printed[0], "Quillnet - Terminal|line one\r\nline two\r\n");

  ASSERT_TRUE(app.RunMenu("?/About..."));
  EXPECT_NE(t.prompter.shown.back().text.find("Memory:16318208 Kb "), std::string::npos);

  // Help opens the shipped document at the focused control's topic.
  t.Folder().WriteAtomic(FrameCommands::kHelpFile, "<html></html>");
  app.helpTopic = [] { return FrameCommands::HelpTopicOf("tspot"); };
  ASSERT_TRUE(app.RunMenu("?/Help"));
  ASSERT_EQ(desk.helped.size(), 1u);
  EXPECT_EQ(desk.helped[0], (t.dir.Path() / FrameCommands::kHelpFile).string() + "#spots");
  // No viewer that works: the user is told where the help is.
  desk.helpWorks = false;
  std::size_t before = t.prompter.shown.size();
  app.RunMenu("?/Help");
  ASSERT_EQ(t.prompter.shown.size(), before + 1);
  EXPECT_NE(t.prompter.shown.back().text.find(FrameCommands::kHelpFile), std::string::npos);

  app.WindowPositions().spots = {150, 300, 4500, 6000};
  ASSERT_TRUE(app.RunMenu("Window/Save Positions"));
  Positions pos;
  pos.Parse(*t.Folder().Read(PositionFileName(SessionKind::Telnet, 1)));
  EXPECT_EQ(pos.spots, (Rect{150, 300, 4500, 6000}));

  EXPECT_EQ(FrameCommands::HelpTopicOf("Textsend"), "typed-input");
  EXPECT_EQ(FrameCommands::HelpTopicOf("mdiarea"), "");
}

}  // namespace
}  // namespace qn
