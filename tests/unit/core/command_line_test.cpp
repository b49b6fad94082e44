#include "core/command_line.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(CommandText, TelnetLinkGivesHostWithPortAndNoSlash) {
  auto c = ParseCommandText("  telnet://dxc.example.net:7300/  ");
  EXPECT_EQ(c.sessionKind, SessionKind::Telnet);
  EXPECT_EQ(c.startupHost, "dxc.example.net:7300");
  EXPECT_FALSE(c.replayMode);
}

TEST(CommandText, TelnetLinkIsFoundInAnyCase) {
  EXPECT_EQ(ParseCommandText("TELNET://node.example:23").startupHost, "node.example:23");
}

TEST(CommandText, SiteNameDropsBlanksAndSlashes) {
  auto c = ParseCommandText("/S my node");
  EXPECT_EQ(c.startupSite, "mynode");
  EXPECT_EQ(c.sessionKind, SessionKind::Telnet);
  EXPECT_EQ(ParseCommandText("/s  Home-Node_2").startupSite, "Home-Node_2");
}

TEST(CommandText, SessionKinds) {
  EXPECT_EQ(ParseCommandText("/TNC").sessionKind, SessionKind::Tnc);
  EXPECT_EQ(ParseCommandText("/web").sessionKind, SessionKind::Web);
  EXPECT_EQ(ParseCommandText("/TNC /WEB").sessionKind, SessionKind::Web);
  EXPECT_EQ(ParseCommandText("").sessionKind, SessionKind::Telnet);
}

TEST(CommandText, DemoWinsOverTncAndDropsTheHost) {
  auto c = ParseCommandText("/DEMO /TNC");
  EXPECT_TRUE(c.replayMode);
  EXPECT_EQ(c.sessionKind, SessionKind::Telnet);
  auto d = ParseCommandText("telnet://host:7300 /DEMO");
  EXPECT_TRUE(d.startupHost.empty());
}

TEST(CommandText, HostWithoutLinkIsIgnored) {
  EXPECT_TRUE(ParseCommandText("/TNC").startupHost.empty());
}

TEST(ProgramOptions, LinuxOptionsAreTakenOutFirst) {
  auto o = ParseProgramOptions({"--data-dir", "/home/u/sites/stations", "--headless", "/DEMO"});
  ASSERT_TRUE(o.dataDir);
  EXPECT_EQ(*o.dataDir, "/home/u/sites/stations");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.commandText, "/DEMO");
  // The folder name holds "/s" but must not become a site.
  EXPECT_TRUE(ParseCommandText(o.commandText).startupSite.empty());
}

TEST(ProgramOptions, BadOptionsAreReported) {
  EXPECT_FALSE(ParseProgramOptions({"--data-dir"}).error.empty());
  EXPECT_FALSE(ParseProgramOptions({"--bogus"}).error.empty());
  auto o = ParseProgramOptions({"--data-dir=/x", "/S", "home"});
  EXPECT_EQ(*o.dataDir, "/x");
  EXPECT_EQ(o.commandText, "/S home");
}

}  // namespace
}  // namespace qn
