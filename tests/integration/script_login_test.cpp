// A site with a login script and auto reconnection against a node that logs
// the user in and then drops the line: every reconnection logs in by itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "child_process.h"
#include "core/files.h"
#include "core/site_record.h"
#include "program_setup.h"
#include "test_node.h"

namespace qn {
namespace {

TEST(ScriptLoginEndToEnd, EveryReconnectionLogsInByItself) {
  testing::TestNode node([](testing::NodeConnection& c, int call) {
    c.Send("Welcome\r\nlogin: ");
    if (!c.ReadUntil("g4tst\n", 15000)) return;
    c.Send("password: ");
    if (!c.ReadUntil("secret\n", 15000)) return;
    // The trigger and its answer: raw text, "," is the line end.
    c.Send("Your name please: ");
    if (!c.ReadUntil("Fred\n", 15000)) return;
    c.Send("Hello G4TST\r\nG4TST de TESTNODE >\r\n");
    if (call < 3) {
      c.ReadUntil("never", 500);
      return;  // the node goes away
    }
    c.ReadUntil("b\n", 20000);
  });

  fakes::TempFolder dir;
  testing::WriteCallsign(dir);
  SiteRecord site;
  site.SetName("scripted");
  site.SetAddress("127.0.0.1");
  site.SetPortType('1');
  site.SetCustomPort(std::to_string(node.Port()));
  site.SetKeepAliveEnabled(false);
  site.SetKeepAlivePeriod("0");
  site.SetAutoFlags(3);  // use script, auto reconnection
  DataFolder data(dir.Path());
  data.WriteAtomic("qln.sit", std::string(site.View()));
  data.WriteAtomic(
      ScriptFileName("scripted", false),
      "/R 5\r\n/I Your name\r\n/O Fred,\r\n/W login:\r\n/S $$$$$\r\n/W password:\r\n/S secret\r\n"
      "/P TESTNODE >\r\n/W never comes\r\n");

  testing::ChildProcess p(
      {QUILLNET_BINARY, "--headless", "--data-dir", dir.Path().string(), "/S", "scripted"},
      testing::ProgramEnv(dir));
  ASSERT_TRUE(p.Started());
  EXPECT_NE(p.WaitForLine("rx| G4TST de TESTNODE >", 15000), "");
  // Two drops, each followed by the next minute's reconnection.
  for (int drop = 1; drop <= 2; ++drop) {
    auto count = [&] {
      return std::count(p.Lines().begin(), p.Lines().end(), std::string("rx| G4TST de TESTNODE >"));
    };
    for (int i = 0; i < 100 && count() <= drop; ++i) p.WaitForLine("rx| Hello G4TST never", 1000);
    EXPECT_EQ(count(), drop + 1) << "after drop " << drop;
  }
  EXPECT_EQ(node.Calls(), 3);
  p.Write("::quit\n");
  EXPECT_EQ(p.WaitForExit(10000), 0);
  // The node's record of a call is complete once that call has ended.
  for (int call = 1; call <= 3; ++call) {
    std::string wire = node.Transcript(call);
    EXPECT_NE(wire.find("g4tst\n"), std::string::npos) << call;
    EXPECT_NE(wire.find("secret\n"), std::string::npos) << call;
    EXPECT_EQ(wire.find("!!!"), std::string::npos) << call;
  }
}

}  // namespace
}  // namespace qn
