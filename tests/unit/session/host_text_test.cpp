#include "session/host_text.h"

#include <gtest/gtest.h>

#include "fakes/temp_folder.h"

namespace qn {
namespace {

double Half() { return 0.5; }

TEST(HostText, PortsAndKeepAlive) {
  auto t = ParseHostText("dxc.example.net", Half);
  EXPECT_EQ(t.host, "dxc.example.net");
  EXPECT_EQ(t.port, "23");
  EXPECT_FALSE(t.keepAlive);
  EXPECT_FALSE(t.isSiteName);

  t = ParseHostText("dxc.example.net:7300", Half);
  EXPECT_EQ(t.port, "7300");
  t = ParseHostText("dxc.example.net:P8000:K10", Half);
  EXPECT_EQ(t.port, "8000");
  EXPECT_EQ(*t.keepAlive, 10);
  t = ParseHostText("dxc.example.net:k0", Half);
  EXPECT_EQ(t.port, "23");
  EXPECT_EQ(*t.keepAlive, 0);
  t = ParseHostText("dxc.example.net:ptelnet", Half);
  EXPECT_EQ(t.port, "telnet");
  t = ParseHostText("dxc.example.net:p70000", Half);
  EXPECT_EQ(t.port, "23");
}

TEST(HostText, RandomPortInTheNextTen) {
  for (double r : {0.0, 0.42, 0.999}) {
    auto t = ParseHostText("dxc.example.net:p7300-", [r] { return r; });
    int port = std::stoi(t.port);
    EXPECT_GE(port, 7300);
    EXPECT_LE(port, 7309);
  }
  EXPECT_EQ(ChoosePort("65530-", [] { return 0.99; }), "23");
}

TEST(HostText, SiteNamesAndIpv6) {
  auto t = ParseHostText("MYNODE", Half);
  EXPECT_TRUE(t.isSiteName);
  EXPECT_EQ(t.host, "MYNODE");
  // A port makes it a host, dot or not.
  EXPECT_FALSE(ParseHostText("localhost:7300", Half).isSiteName);
  t = ParseHostText("[::1]:7300", Half);
  EXPECT_EQ(t.host, "::1");
  EXPECT_EQ(t.port, "7300");
  EXPECT_FALSE(t.isSiteName);
  t = ParseHostText("[2001:db8::5]", Half);
  EXPECT_EQ(t.host, "2001:db8::5");
  EXPECT_EQ(t.port, "23");
}

TEST(SiteTarget, AddressPortAndHostLists) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  SiteRecord r;
  r.SetName("home");
  r.SetAddress("dxc.example.net");
  r.SetPortType('0');
  EXPECT_EQ(SiteTarget(r, folder, Half).port, "23");
  r.SetPortType('1');
  r.SetCustomPort("7373");
  EXPECT_EQ(SiteTarget(r, folder, Half).port, "7373");

  folder.WriteAtomic("hosts.txt", "a.example:7300,7301 ; b.example ; c.example:99999\r\nignored\r\n");
  r.SetAddress(".hosts.txt");
  std::map<std::string, int> seen;
  for (int i = 0; i < 30; ++i) {
    double v = i / 30.0;
    auto t = SiteTarget(r, folder, [v] { return v; });
    seen[t.host + ":" + t.port]++;
  }
  EXPECT_EQ(seen["b.example:23"], 10);
  EXPECT_EQ(seen["c.example:23"], 10);  // a port above 65535 becomes 23
  EXPECT_EQ(seen["a.example:7300"] + seen["a.example:7301"], 10);

  // A list file that is missing, or would leave the folder, keeps the address.
  r.SetAddress("../../etc/hosts");
  EXPECT_EQ(SiteTarget(r, folder, Half).host, "../../etc/hosts");
  r.SetAddress(".missing");
  EXPECT_EQ(SiteTarget(r, folder, Half).host, ".missing");
}

}  // namespace
}  // namespace qn
