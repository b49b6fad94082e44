// The format check of a typed submission, its fields, and the exact GET and
// POST requests that carry it.
#include "web/web_submission.h"

#include <gtest/gtest.h>

#include "web/web_cluster_rules.h"
#include "web/web_exchange.h"

namespace qn {
namespace {

TEST(CheckSubmission, AcceptsSpotsAndAnnouncements) {
  auto c = CheckSubmissionLine("  G4TST 14025.5 K1ABC up 2  \r\n", SubmitVariant::Web);
  EXPECT_TRUE(c.Accepted());
  EXPECT_EQ(c.line, "G4TST 14025.5 K1ABC up 2\r\n");
  c = CheckSubmissionLine("G4TST >pse K1ABC qsl info\r\n", SubmitVariant::Web);
  EXPECT_TRUE(c.Accepted());
  EXPECT_EQ(c.line, "G4TST >pse K1ABC qsl info\r\n");
  c = CheckSubmissionLine("G4TST 14025 " + std::string(100, 'c') + "\r\n", SubmitVariant::Web);
  ASSERT_TRUE(c.Accepted());
  EXPECT_EQ(c.line.size(), kSubmissionLineLimit + 2);
}

TEST(CheckSubmission, RefusalsSayWhatTheFormatIs) {
  auto c = CheckSubmissionLine("G4TST 14O25 K1ABC\r\n", SubmitVariant::Web);
  EXPECT_EQ(c.outcome, SubmissionCheck::Outcome::BadFrequency);
  EXPECT_EQ(c.message, kSubmitFormatWeb);
  EXPECT_EQ(c.frequencyStart, 6u);
  EXPECT_EQ(c.frequencyLength, 5u);
  EXPECT_EQ(CheckSubmissionLine("DX x K1ABC\r\n", SubmitVariant::Robot).message, kSubmitFormatRobot);

  c = CheckSubmissionLine("G4TST\r\n", SubmitVariant::Web);
  EXPECT_EQ(c.outcome, SubmissionCheck::Outcome::TooFewWords);
  EXPECT_EQ(c.message, kSubmitFormatWebShort);
  EXPECT_EQ(c.putBack, "G4TST");
  EXPECT_EQ(CheckSubmissionLine("G4TST >\r\n", SubmitVariant::Web).outcome,
            SubmissionCheck::Outcome::BadFrequency);
  EXPECT_EQ(CheckSubmissionLine("", SubmitVariant::Web).outcome, SubmissionCheck::Outcome::TooFewWords);
  EXPECT_EQ(CheckSubmissionLine(">x\r\n", SubmitVariant::Web).outcome, SubmissionCheck::Outcome::TooFewWords);
}

TEST(UrlEncode, Rules) {
  EXPECT_EQ(web::UrlEncode("up 2"), "up%202");
  EXPECT_EQ(web::UrlEncode("a\tb"), "a%9b");
  EXPECT_EQ(web::UrlEncode("&=?/"), "%26%3D%3F%2F");
  EXPECT_EQ(web::UrlEncode("\xff"), "%FF");
  EXPECT_EQ(web::UrlEncode("AZaz09"), "AZaz09");
}

TEST(SubmissionRequest, GetBytes) {
  const std::string accept =
      "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
      "application/vnd.ms-powerpoint, application/msword, application/x-shockwave-flash, */*\r\n";
  const std::string tail = accept + "Accept-Language: en-us\r\nProxy-Connection: Keep-Alive\r\n" +
                           "User-Agent: Quillweb/5.5\r\nHost: " + kWebSubmitHost + "\r\n\r\n";
  EXPECT_EQ(BuildSubmissionRequest("G4TST 14025.5 K1ABC up 2", false, false),
            std::string("GET http://") + kWebSubmitHost +
                "/SendSpot.aspx?callSign=G4TST&dxCallSign=K1ABC&frequency=14025.5&info=up%202 HTTP/1.0\r\n" +
                tail);
  EXPECT_EQ(BuildSubmissionRequest("G4TST >QRV 6m", false, false),
            std::string("GET http://") + kWebSubmitHost +
                "/SendSpot.aspx?callSign=G4TST&info=QRV%206m HTTP/1.0\r\n" + tail);
  std::string tnc = BuildSubmissionRequest("G4TST 14025 K1ABC", false, true);
  EXPECT_NE(tnc.find("&frequency=14025&info= HTTP/1.0\r\nAccept: "), std::string::npos);
  EXPECT_EQ(tnc.find("User-Agent"), std::string::npos);
  EXPECT_EQ(tnc.find("\r\n", tnc.find("Accept-Language")), std::string::npos)
      << "CR alone after the first line";
  EXPECT_TRUE(tnc.ends_with("Keep-Alive\r\r"));
}

TEST(SubmissionRequest, JacPost) {
  const std::string body = "SYSTEM=adddx.mtd&report=G4TST&freqM=14025&freqK=5&dx=K1ABC&comment=up 2";
  std::string r = BuildSubmissionRequest("G4TST 14025.5 K1ABC up 2", true, false);
  EXPECT_EQ(
      r, "POST /JAC/allbands.html HTTP/1.0\r\nUser-Agent: Quillweb/5.5\r\nHost: " + std::string(kWebJacHost) +
             "\r\nContent-length: " + std::to_string(body.size()) + "\r\n\r\n" + body + "\r\n");
  // A body of 60 characters.
  std::string sixty = BuildSubmissionRequest("G4 1.2 K1ABC", true, false);
  EXPECT_NE(sixty.find("Content-length: 60\r\n"), std::string::npos);
}

TEST(WebClusterRules, SaveChecksInOrder) {
  AppSettings s;
  WebClusterFields f = WebClusterRules::Load(s);
  f.callsign = " g4tst ";
  f.servers = "  ";
  EXPECT_EQ(WebClusterRules::Save(f, s), kWebHostRequired);
  f.servers = "127.0.0.1 8000";
  f.paths = "";
  EXPECT_EQ(WebClusterRules::Save(f, s), kWebHostRequired);
  f.paths = "/a.html";
  f.callsign = "";
  EXPECT_EQ(WebClusterRules::Save(f, s), kWebCallRequired);
  f.callsign = " g4tst ";
  f.period = "99999";
  EXPECT_EQ(WebClusterRules::Save(f, s), kWebPeriodRange);
  f.period = "-1";
  EXPECT_EQ(WebClusterRules::Save(f, s), kWebPeriodRange);
  f.period = "0";
  EXPECT_EQ(WebClusterRules::Save(f, s), "");
  EXPECT_EQ(s.webRefreshMinutes, 2);
  EXPECT_EQ(s.ownCallsign, "G4TST");
  EXPECT_EQ(s.webServerList, "127.0.0.1 8000");
  f.period = "abc";
  EXPECT_EQ(WebClusterRules::Save(f, s), "");
  EXPECT_EQ(s.webRefreshMinutes, 2);
}

}  // namespace
}  // namespace qn
