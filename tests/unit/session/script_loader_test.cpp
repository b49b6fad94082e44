#include "session/script_loader.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

using Lines = std::vector<std::string>;

TEST(ScriptLoaderTest, LinesAreTrimmedAndCommentsDropped) {
  auto s = ParseScript("  /W login:  \r\n\r\n' a comment /R 9\r\n\t\r\n/S $$$$\n\\s pw\r/P >", false);
  EXPECT_FALSE(s.unusable);
  // A tab is not a blank: that line stays (and the engine skips it).
  EXPECT_EQ(s.lines, (Lines{"/W login:", "\t", "/S $$$$", "\\s pw", "/P >"}));
  EXPECT_FALSE(s.retryLimit);  // the commented "/R" is no directive
}

TEST(ScriptLoaderTest, MissingFileOrPlaceholdersMakeItUnusable) {
  EXPECT_TRUE(ParseScript(std::nullopt, false).unusable);
  EXPECT_TRUE(ParseScript("/S Yourcall\r\n", false).unusable);
  EXPECT_TRUE(ParseScript("/S Yourpassword\r\n", false).unusable);
  // A TNC login has no password.
  EXPECT_FALSE(ParseScript("/S Yourpassword\r\n", true).unusable);
  // Placeholders in comments do not count.
  EXPECT_FALSE(ParseScript("' replace Yourcall below\r\n/S G4TST\r\n", false).unusable);
  EXPECT_FALSE(ParseScript("", false).unusable);
}

TEST(ScriptLoaderTest, HeaderDirectivesAreTakenOut) {
  auto s = ParseScript("/W x\r\n/r -3\r\n\\N backup\r\n/I Name?\r\n/O Fred\r\n/C TERM 3\r\n/R 7\r\n", false);
  EXPECT_EQ(s.retryLimit, 3);
  EXPECT_EQ(s.fallbackSite, "backup");
  EXPECT_EQ(s.trigger, "Name?");
  EXPECT_EQ(s.answer, "Fred");
  // "/C" stays for the engine, as does the second "/R".
  EXPECT_EQ(s.lines, (Lines{"/W x", "/C TERM 3", "/R 7"}));
  EXPECT_FALSE(s.retryInterval);
}

TEST(ScriptLoaderTest, RetryIntervalOnlyFromTheFirstLine) {
  auto first = ParseScript("/T 5\r\n/W x\r\n", false);
  EXPECT_EQ(first.retryInterval, 5);
  EXPECT_EQ(first.lines, (Lines{"/W x"}));

  auto later = ParseScript("/W x\r\n/T 5\r\n", false);
  EXPECT_FALSE(later.retryInterval);
  EXPECT_EQ(later.lines, (Lines{"/W x", "/T 5"}));

  EXPECT_EQ(ParseScript("/T 0\r\n", false).retryInterval, 2);
  EXPECT_EQ(ParseScript("/R 0\r\n", false).retryLimit, 0);
  // Directives taken out before it leave the "/T" line first.
  EXPECT_EQ(ParseScript("/R 2\r\n/T 4\r\n", false).retryInterval, 4);
}

TEST(ScriptLoaderTest, IdentWordAndCommandRecognition) {
  EXPECT_TRUE(ParseScript("/S \"IDENTD\"\r\n", false).wantsIdent);
  EXPECT_FALSE(ParseScript("/S IDENTD\r\n", false).wantsIdent);
  EXPECT_TRUE(IsScriptCommand("\\w", 'W'));
  EXPECT_TRUE(IsScriptCommand("/w login", 'W'));
  EXPECT_FALSE(IsScriptCommand("W login", 'W'));
  EXPECT_FALSE(IsScriptCommand("/", 'W'));
  EXPECT_EQ(ScriptArgument("/S   sh/dx  "), "sh/dx");
  EXPECT_EQ(ScriptArgument("/W"), "");
}

}  // namespace
}  // namespace qn
