// Page parsing: oldest line first, headers and markup skipped, a page read
// again adds nothing, WWV and announcement lines rewritten, spot columns
// rebuilt into the cluster's spot line.
#include "web/web_page.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

//                                  1111111111222222222233333333334444444444555555555566666
//                         1234567890123456789012345678901234567890123456789012345678901234
const std::string kSpot = "K1ABC      14025.0 DL1XYZ     up 2                          1234 07 Dec";
const std::string kSpot2 = "G4TST       7012.5 JA1ZZZ     cq                            1240 07 Dec";
const std::string kWwv = "05 Dec 1200 K1ABC  SFI=150 A=5 K=1";

struct Page : ::testing::Test {
  std::string terminal, announcements;
  std::vector<std::string> shown, spots, anns;
  WebPageSinks sinks;
  Page() {
    sinks.inReceiveWindow = [this](const std::string& l) { return terminal.find(l) != std::string::npos; };
    sinks.show = [this](const std::string& l) {
      shown.push_back(l);
      terminal += l + "\r\n";
    };
    sinks.inAnnouncementWindow = [this](const std::string& l) {
      return announcements.find(l) != std::string::npos;
    };
    sinks.announcement = [this](const std::string& l) {
      anns.push_back(l);
      announcements += l + "\r\n";
    };
    sinks.spot = [this](const std::string& l) { spots.push_back(l); };
  }
};

TEST_F(Page, HeadersAndMarkupSkippedSpotsConvertedOldestFirst) {
  std::string page =
      "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nDate: today\r\nServer: x\r\n\r\n"
      "<html><pre>\r\n# DXSpots\r\n" +
      kSpot2 + "\r\n" + kSpot + "\r\n </pre>\r\n";
  ParseWebPage(page, false, sinks);
  ASSERT_EQ(shown, (std::vector<std::string>{kSpot, kSpot2}));
  ASSERT_EQ(spots.size(), 2u);
  EXPECT_EQ(spots[0], "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z\r\n");
  EXPECT_EQ(spots[1].substr(0, 26), "DX de G4TST:      7012.5  ");
  // Fetched again: every line is in the window already.
  ParseWebPage(page, false, sinks);
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(spots.size(), 2u);
}

TEST_F(Page, AnnouncementAndWwvLines) {
  std::string ann = "06 Dec 1300 K1ABC  QRV 6m tonight";
  ParseWebPage(kWwv + "\r\n" + ann + "\r\n05-Dec 1200 K1ABC not an announcement\r\n", false, sinks);
  ASSERT_EQ(anns.size(), 2u);
  EXPECT_EQ(anns[0], "To ALL de " + ann.substr(7));
  EXPECT_EQ(anns[1], "WWV de " + kWwv.substr(7));
  EXPECT_EQ(shown.size(), 3u);
  EXPECT_TRUE(spots.empty());
  EXPECT_EQ(WebAnnouncementValue("05 "), 305);
  EXPECT_EQ(WebAnnouncementValue("31 "), 331);
  EXPECT_EQ(WebAnnouncementValue("32 "), 332);
  EXPECT_EQ(WebAnnouncementValue("101"), 301);
  EXPECT_EQ(WebAnnouncementValue("05-"), 205);
  // Shown once already in the announcement window: not again.
  terminal.clear();
  ParseWebPage(kWwv + "\r\n", false, sinks);
  EXPECT_EQ(anns.size(), 2u);
}

TEST_F(Page, DecimalPointElsewhereIsNoSpot) {
  std::string at16 = "K1ABC     14025.0  DL1XYZ     up 2                          1234 07 Dec";
  ParseWebPage(at16 + "\r\n", false, sinks);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(spots.empty());
  EXPECT_EQ(RebuildWebSpotColumns(at16), "");
  EXPECT_EQ(RebuildWebSpotColumns("K1ABC      14025. DL1XYZ"), "") << "a blank after the point";
}

TEST_F(Page, PartialLastLineAndJacCut) {
  ParseWebPage(kSpot + "\r\n" + kSpot2, false, sinks);
  EXPECT_EQ(shown, (std::vector<std::string>{kSpot}));
  shown.clear();
  terminal.clear();
  std::string jac = std::string(1650, 'x') + "\r\n" + kSpot + "\r\n";
  ParseWebPage(jac, true, sinks);
  EXPECT_EQ(shown.size(), 1u) << "only the line that ends within 1,660 characters";
}

}  // namespace
}  // namespace qn
