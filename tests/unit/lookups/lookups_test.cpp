#include "lookups/lookups.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/app.h"
#include "core/text.h"
#include "fakes/test_app.h"
#include "traffic/traffic_windows.h"

namespace qn {
namespace {

using fakes::TestApp;

const char* kTable =
    "' test table\r\n"
    "A https://a.example/?c={TEXT}&me={CALL}\r\n"
    "B https://b.example/db/{TEXT}\r\n"
    "this line is not understood\r\n"
    "D https://d.example/{TEXT}\r\n"
    "L https://l.example/?q={TEXT}\r\n"
    "Q https://q.example/\r\n"
    "Z https://z.example/{TEXT}\r\n"
    "DUALWEB https://dual.example/{TEXT}\r\n";

const char* kCty =
    "England:                  14:  27:  EU:   52.77:     1.47:     0.0:  G:\r\n"
    "    G,M;\r\n"
    "Japan:                    25:  45:  AS:   36.40:  -138.38:    -9.0:  JA:\r\n"
    "    JA,JE,JF;\r\n";

struct LookupsTest : ::testing::Test {
  TestApp t;
  App* app = nullptr;
  Lookups* lk = nullptr;
  void SetUp() override {
    app = &t.StartWithCall("/DEMO");
    lk = app->Lookup();
    t.Folder().WriteAtomic("WEBSEARCH.TXT", kTable);
    t.Folder().WriteAtomic("cty.dat", kCty);
  }
  void Run(const std::string& caption) { ASSERT_TRUE(app->RunMenu("Ham Info/" + caption)) << caption; }
  void InstallHelper(const std::string& name) { std::ofstream(t.dir.Path() / name) << "#!/bin/sh\n"; }
  const fakes::FakePrompter::Shown& LastAsked() { return t.prompter.shown.back(); }
};

TEST(UrlEncode, EverythingButUnreservedCharacters) {
  EXPECT_EQ(UrlEncode("G4ABC"), "G4ABC");
  EXPECT_EQ(UrlEncode("DL/G4ABC"), "DL%2FG4ABC");
  EXPECT_EQ(UrlEncode("a b&c=d?#%"), "a%20b%26c%3Dd%3F%23%25");
  EXPECT_EQ(UrlEncode("-_.~"), "-_.~");
  EXPECT_EQ(UrlEncode("\xC4"), "%C3%84") << "Latin-1 goes out as UTF-8";
}

TEST(WebSearchTable, SkipsMalformedLinesAndFillsPlaceholders) {
  WebSearchTable table;
  std::vector<int> bad = table.Parse(
      "A https://a.example/{TEXT}?me={CALL}\r\nB\r\nC ftp://x\r\n7 https://x/\r\nb https://b.example/\r\n");
  EXPECT_EQ(bad, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(table.Address("A", "DL/G4ABC", "G4 X"), "https://a.example/DL%2FG4ABC?me=G4%20X");
  EXPECT_EQ(table.Address("B", "x", ""), "https://b.example/");
  EXPECT_FALSE(table.Address("C", "x", ""));
}

TEST(WebSearchTable, ShippedTableCoversEveryEntry) {
  auto text = ReadFile(std::string(QUILLNET_SOURCE_DIR) + "/data/WEBSEARCH.TXT");
  ASSERT_TRUE(text);
  WebSearchTable table;
  EXPECT_TRUE(table.Parse(*text).empty());
  for (const WebSearchEntry& e : WebSearchEntries()) {
    std::string letter = std::string(e.literal).substr(10);
    EXPECT_TRUE(table.Address(letter, "G4ABC", "G4TST")) << e.caption;
  }
  EXPECT_TRUE(table.Address(WebSearchTable::kDualKey, "G4ABC", "G4TST"));
  EXPECT_EQ(WebSearchEntries().size(), 23u);
}

TEST_F(LookupsTest, AskSearchTextDefaultsAndLastSearch) {
  t.prompter.answers = {" g4abc/p ", "G4ABC/P", "ja1xyz", std::nullopt};
  EXPECT_EQ(lk->AskSearchText(1), "G4ABC/P");
  EXPECT_EQ(LastAsked().title, "Quillnet: Ham Search Online");
  EXPECT_EQ(LastAsked().text, "Type the callsign to search for and press OK");
  EXPECT_EQ(lk->LastSearch(), "G4ABC/P");
  // The default is cut before "/", "\" and "-".
  EXPECT_EQ(lk->AskSearchText(2), "G4ABC/P");
  EXPECT_EQ(LastAsked().defaultText, "G4ABC");
  EXPECT_EQ(LastAsked().title, "Quillnet: QSL Info Online");
  // A preset text is offered first; a new answer clears it.
  lk->SetPresetSearch("OH2BH-5");
  EXPECT_EQ(lk->AskSearchText(3), "JA1XYZ");
  EXPECT_EQ(LastAsked().defaultText, "OH2BH");
  EXPECT_EQ(lk->PresetSearch(), "");
  EXPECT_EQ(lk->LastSearch(), "JA1XYZ");
  EXPECT_EQ(lk->AskSearchText(5), "") << "cancelled";
  EXPECT_EQ(lk->LastSearch(), "JA1XYZ");
}

TEST_F(LookupsTest, IotaKindsKeepTheirOwnTexts) {
  app->TrafficWin()->Clicked().Values().iotaCopy = "OC123";
  t.prompter.answers = {"eu005", "dodecanese", std::nullopt};
  EXPECT_EQ(lk->AskSearchText(4), "EU005");
  EXPECT_EQ(LastAsked().defaultText, "OC123");
  EXPECT_EQ(LastAsked().title, "Quillnet: Iota Info");
  EXPECT_EQ(lk->AskSearchText(7), "DODECANESE");
  EXPECT_EQ(LastAsked().defaultText, "EU005") << "no RSGB text yet: the last IOTA text";
  EXPECT_EQ(lk->AskSearchText(7), "");
  EXPECT_EQ(LastAsked().defaultText, "DODECANESE");
  EXPECT_EQ(lk->LastSearch(), "") << "IOTA answers are no LastSearch";
}

TEST_F(LookupsTest, WebSearchesWithoutTheHelperOpenTheTableAddress) {
  t.prompter.answers = {"dl/g4abc"};
  Run("BuckMaster (TM) Online...");
  EXPECT_EQ(t.urls.opened.back(), "https://a.example/?c=DL%2FG4ABC&me=G4TST");
  EXPECT_EQ(app->Frame().Status(), "WEBSEARCH.TXT: line 4 is not understood and was skipped");
  // Without input the last search is used.
  Run("&DXPeditions...");
  EXPECT_EQ(t.urls.opened.back(), "https://q.example/");
  // Cancelling asks nothing more and opens nothing.
  std::size_t opened = t.urls.opened.size();
  Run("Spot Search...");
  EXPECT_EQ(t.urls.opened.size(), opened);
  // Golist also runs the second search.
  t.prompter.answers = {"ja1xyz"};
  Run("YY1DDD's Golist QSL Info...");
  EXPECT_EQ(t.urls.opened.back(), "https://dual.example/JA1XYZ");
  EXPECT_EQ(t.urls.opened[t.urls.opened.size() - 2], "https://d.example/JA1XYZ");
  // A letter the table lacks says so.
  t.prompter.answers = {"x"};
  Run("QRZ (TM) Online...");
  t.prompter.answers = {"x"};
  Run("Pathfinder...");
  EXPECT_EQ(LastAsked().text,
            "No web address for search G: add a line for it to WEBSEARCH.TXT in the data folder");
  EXPECT_TRUE(t.launcher.calls.empty());
}

TEST_F(LookupsTest, HelpersInstalledGetThePartsCommandLines) {
  InstallHelper("webgo.exe");
  InstallHelper("DUALWEB");
  t.prompter.answers = {"ja1xyz"};
  ASSERT_TRUE(app->PressKey("Shift+F6"));
  ASSERT_EQ(t.launcher.calls.size(), 2u);
  EXPECT_EQ(t.launcher.calls[0].program.filename(), "webgo.exe");
  EXPECT_EQ(t.launcher.calls[0].args, (std::vector<std::string>{"Z", "G4TST", "JA1XYZ"}));
  EXPECT_EQ(t.launcher.calls[0].style, WindowStyle::Minimised);
  EXPECT_EQ(t.launcher.calls[1].program.filename(), "DUALWEB");
  EXPECT_EQ(t.launcher.calls[1].args, (std::vector<std::string>{"JA1XYZ"}));
  EXPECT_EQ(t.launcher.calls[1].style, WindowStyle::Normal);
  EXPECT_TRUE(t.urls.opened.empty());
  ASSERT_TRUE(app->RunMenu("?/Quillnet Home Page"));
  EXPECT_EQ(t.launcher.calls.back().args, (std::vector<std::string>{"O", "G4TST", "JA1XYZ"}));

  InstallHelper("PREFIX.EXE");
  app->Settings().ownLocator = "JN58TD";
  t.clock.SetLocal(DateTime{2024, 3, 1, 12, 0, 0, 0});
  app->Settings().utcOffset = "-1";
  lk->PrefixInfo("G4ABC/P");
  const auto& call = t.launcher.calls.back();
  EXPECT_EQ(call.program.filename(), "PREFIX.EXE");
  EXPECT_EQ(call.style, WindowStyle::Minimised);
  ASSERT_EQ(call.args.size(), 1u);
  // Code 1, the text, then own locator, UTC as days and the title after code 5 each.
  std::vector<std::string> fields;
  for (std::size_t from = 0;;) {
    std::size_t p = call.args[0].find('\x05', from);
    fields.push_back(call.args[0].substr(from, p == std::string::npos ? p : p - from));
    if (p == std::string::npos) break;
    from = p + 1;
  }
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[0], "\x01G4ABC") << "searched without its suffix";
  EXPECT_EQ(fields[1], "JN58TD");
  EXPECT_NEAR(Val(fields[2]), DateTime({2024, 3, 1, 11, 0, 0, 0}).ToSerial(), 1e-6);
  EXPECT_EQ(fields[3], "Quillnet");
  lk->LocatorInfo("io91wm");
  EXPECT_TRUE(StartsWith(t.launcher.calls.back().args[0], "\x01\x06IO91WM\x05JN58TD\x05"));
  EXPECT_TRUE(lk->OpenPages().empty()) << "the helper draws its own window";
}

TEST_F(LookupsTest, ClockWithAndWithoutItsProgram) {
  ASSERT_TRUE(app->RunMenu("Options/Adjust PC Clock"));
  EXPECT_EQ(LastAsked().text, Lookups::kClockMessage);
  EXPECT_TRUE(t.launcher.calls.empty());
  InstallHelper("CLOCKSET.EXE");
  app->Settings().utcOffset = "5:30";
  ASSERT_TRUE(app->RunMenu("Options/Adjust PC Clock"));
  ASSERT_EQ(t.launcher.calls.size(), 1u);
  EXPECT_EQ(t.launcher.calls[0].args, (std::vector<std::string>{"5:30"}));
}

TEST_F(LookupsTest, PrefixInfoWindowAndTheCaptionRule) {
  app->Settings().ownLocator = "IO91WM";
  std::vector<std::string> shown, raised;
  lk->showInfo = [&](const InfoPage& p) { shown.push_back(p.caption); };
  lk->raiseInfo = [&](const InfoPage& p) { raised.push_back(p.caption); };
  lk->PrefixInfo("JA1XYZ/P");
  ASSERT_EQ(lk->OpenPages().size(), 1u);
  const InfoPage& page = lk->OpenPages()[0];
  EXPECT_EQ(page.caption, "JA1XYZ: Prefix Info");
  std::string all;
  for (const auto& l : page.lines) all += l + "\n";
  EXPECT_NE(all.find("Country: Japan (JA)"), std::string::npos) << all;
  EXPECT_NE(all.find("CQ zone: 25"), std::string::npos) << all;
  EXPECT_NE(all.find("ITU zone: 45"), std::string::npos) << all;
  EXPECT_NE(all.find("Beam heading: "), std::string::npos) << all;
  EXPECT_NE(all.find("(UTC+9)"), std::string::npos) << all;
  EXPECT_EQ(lk->LastSearch(), "JA1XYZ");
  // The same prefix again: the window comes to the front, none is added.
  lk->PrefixInfo("JA1XYZ");
  EXPECT_EQ(shown, (std::vector<std::string>{"JA1XYZ: Prefix Info"}));
  EXPECT_EQ(raised, (std::vector<std::string>{"JA1XYZ: Prefix Info"}));
  lk->InfoWindowClosed("JA1XYZ: Prefix Info");
  lk->PrefixInfo("JA1XYZ");
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(LookupsTest, PrefixInfoAsksWhenNothingWasClickedAndSaysWhatIsWrong) {
  t.prompter.answers = {"zz9zz", ""};
  Run("Prefix Info...");
  EXPECT_EQ(t.prompter.shown[0].text, "Type the callsign, prefix or string to search for and press OK");
  EXPECT_EQ(t.prompter.shown[0].title, "Quillnet: Call/Prefix Info");
  ASSERT_EQ(lk->OpenPages().size(), 1u);
  EXPECT_EQ(lk->OpenPages()[0].lines, (std::vector<std::string>{"No country found for ZZ9ZZ"}));
  Run("Prefix Info...");
  EXPECT_EQ(lk->OpenPages().size(), 1u) << "an empty answer ends it";
  // A damaged file still answers from what it holds, and says so.
  t.Folder().WriteAtomic("cty.dat", std::string(kCty).substr(0, 100));
  lk->PrefixInfo("G4ABC");
  EXPECT_EQ(lk->OpenPages().back().lines[0],
            "The country file cty.dat is damaged: only the part that could be read is used.");
  EXPECT_EQ(lk->OpenPages().back().lines[1], "Country: England (G)");
  lk->SetCountryFilePath((t.dir.Path() / "missing.dat").string());
  lk->PrefixInfo("M0ABC");
  EXPECT_TRUE(StartsWith(lk->OpenPages().back().lines[0], "The country file cty.dat was not found"));
}

TEST_F(LookupsTest, LocatorInfoAsksAgainUntilValid) {
  app->Settings().ownLocator = "JN58TD";
  t.prompter.answers = {"SS00", "jn58", ""};
  Run("Locator Info...");
  EXPECT_EQ(t.prompter.shown[0].text, "Type the locator and press OK");
  EXPECT_EQ(t.prompter.shown[0].title, "Quillnet: Locator Info");
  EXPECT_EQ(t.prompter.shown[0].defaultText, "JN58TD");
  EXPECT_EQ(t.prompter.shown[1].text, "The specified locator is not valid");
  EXPECT_EQ(t.prompter.shown[1].icon, MsgIcon::Exclamation);
  ASSERT_EQ(lk->OpenPages().size(), 1u);
  EXPECT_EQ(lk->OpenPages()[0].caption, "JN58AA: Locator Info");
  EXPECT_EQ(lk->OpenPages()[0].lines[1], "Position: 48.02 N, 10.04 E (centre of the square)");
  EXPECT_EQ(lk->LastSearch(), "") << "locators are no LastSearch";
  Run("Locator Info...");
  EXPECT_EQ(lk->OpenPages().size(), 1u);
}

}  // namespace
}  // namespace qn
