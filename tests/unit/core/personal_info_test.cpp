#include "core/personal_info.h"

#include <gtest/gtest.h>

#include "fakes/fake_prompter.h"

namespace qn {
namespace {

TEST(ValidateLocator, NormalisesAndRejects) {
  std::string s = "JN54";
  EXPECT_TRUE(ValidateLocator(s));
  EXPECT_EQ(s, "JN54AA");
  s = "JN54QX/P";
  EXPECT_TRUE(ValidateLocator(s));
  EXPECT_EQ(s, "JN54QX");
  s = "JN54QX\\home";
  EXPECT_TRUE(ValidateLocator(s));
  EXPECT_EQ(s, "JN54QX");
  for (std::string bad : {"JS54AA", "JN5AAA", "JN54AY", "JN54A", "", "jn54aa", "JN54AA12"}) {
    std::string copy = bad;
    EXPECT_FALSE(ValidateLocator(copy)) << bad;
    EXPECT_EQ(copy, bad);
  }
}

TEST(OffsetToDays, HoursAndMinutes) {
  EXPECT_DOUBLE_EQ(OffsetToDays("2"), 2.0 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("5:45"), 5.75 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("5:30"), 5.5 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("-3:30"), -3.5 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("5:20"), 5.2 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("5.30"), 5.5 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays("5.30:15"), 5.3 / 24);
  EXPECT_DOUBLE_EQ(OffsetToDays(""), 0);
  EXPECT_DOUBLE_EQ(OffsetToDays("abc"), 0);
}

TEST(AskCallsign, KeepsLeadingLettersAndDigits) {
  fakes::FakePrompter p;
  AppSettings s;
  p.answers.push_back("  ab1cd/m ");
  EXPECT_TRUE(AskCallsign(p, s));
  EXPECT_EQ(s.ownCallsign, "AB1CD");
  EXPECT_EQ(p.shown.at(0).text, "Enter your callsign");
}

TEST(AskCallsign, AsksAgainUntilGivenAndGivesUpWhenNoAnswerCanCome) {
  fakes::FakePrompter p;
  AppSettings s;
  p.answers = {std::string(""), std::nullopt, std::string("/P"), std::string("g4xyz")};
  p.closed = false;
  EXPECT_TRUE(AskCallsign(p, s));
  EXPECT_EQ(s.ownCallsign, "G4XYZ");
  EXPECT_EQ(p.shown.size(), 4u);

  fakes::FakePrompter closed;
  closed.closed = true;
  AppSettings t;
  EXPECT_FALSE(AskCallsign(closed, t));
  EXPECT_EQ(t.ownCallsign, "");
}

TEST(AskCallsign, EmptyAnswerKeepsTheCurrentCall) {
  fakes::FakePrompter p;
  AppSettings s;
  s.ownCallsign = "G4ABC";
  p.answers.push_back("");
  EXPECT_FALSE(AskCallsign(p, s));
  EXPECT_EQ(p.shown[0].defaultText, "G4ABC");
}

TEST(PersonalInfoDialog, SaveRules) {
  AppSettings s;
  s.ownCallsign = "G4ABC";
  s.ownLocator = "IO91WM";
  ApplyPersonalInfo(s, {"", "jn54", "1"});
  EXPECT_EQ(s.ownCallsign, "G4ABC");
  EXPECT_EQ(s.ownLocator, "JN54AA");
  EXPECT_EQ(s.utcOffset, "1");
  ApplyPersonalInfo(s, {"g4new", "JS54AA", "-5:30"});
  EXPECT_EQ(s.ownCallsign, "g4new");  // as typed
  EXPECT_EQ(s.ownLocator, "JN54AA");  // invalid: unchanged
  EXPECT_EQ(s.utcOffset, "-5:30");
}

TEST(PersonalInfoDialog, KeyFilters) {
  for (char c : std::string("aZ9\b\t\x1b")) {
    EXPECT_TRUE(PersonalInfoKeyAllowed(PersonalField::Callsign, c));
    EXPECT_TRUE(PersonalInfoKeyAllowed(PersonalField::Locator, c));
  }
  for (char c : std::string("/- .:")) EXPECT_FALSE(PersonalInfoKeyAllowed(PersonalField::Callsign, c));
  for (char c : std::string("0:,.+-\b")) EXPECT_TRUE(PersonalInfoKeyAllowed(PersonalField::UtcOffset, c));
  for (char c : std::string("a /")) EXPECT_FALSE(PersonalInfoKeyAllowed(PersonalField::UtcOffset, c));
}

}  // namespace
}  // namespace qn
