#include "core/site_list.h"

#include <gtest/gtest.h>

#include "core/site_editor_rules.h"
#include "core/site_file.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"

namespace qn {
namespace {

SiteRecord Site(const std::string& name, const std::string& comment = "") {
  SiteRecord r;
  r.SetName(name);
  r.SetAddress(name + ".example");
  r.SetPortType('0');
  r.SetKeepAliveEnabled(false);
  r.SetKeepAlivePeriod("0");
  r.SetComment(comment);
  return r;
}

// An app with a telnet session on the fake socket, so OK really connects.
class SiteListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings s;
    s.ownCallsign = "G4TST";
    t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
    t.app =
        std::make_unique<App>(Ports{t.loop, t.clock, t.prompter, t.registry, nullptr, &sockets}, t.Folder());
    t.app->StartUp("");
    ASSERT_TRUE(t.app->Connection());
  }
  void WriteSites(const std::vector<SiteRecord>& sites) {
    t.Folder().WriteAtomic("qln.sit", SerialiseSiteFile(sites));
  }
  std::vector<SiteRecord> Records() { return ParseSiteFile(t.Folder().Read("qln.sit").value_or("")); }

  fakes::TestApp t;
  fakes::FakeSocketFactory sockets;
};

TEST_F(SiteListTest, ShowsNamesInFileOrderWithTheCurrentSiteSelected) {
  WriteSites({Site("alpha", "first node"), Site("Beta_2", "second node")});
  t.app->State().currentSite = Site("BETA_2");
  SiteList list(*t.app);
  list.Show();
  EXPECT_TRUE(list.Open());
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"alpha", "Beta_2"}));
  EXPECT_EQ(list.SelectedIndex(), 1);
  EXPECT_EQ(list.Comment(), "second node");
  list.Select(0);
  EXPECT_EQ(list.Comment(), "first node");
  EXPECT_FALSE(list.SelectSite("gamma"));
  list.Cancel();
  EXPECT_FALSE(list.Open());
  EXPECT_TRUE(sockets.made.empty());
}

TEST_F(SiteListTest, OkSwapsTheSiteToRecordOneAndConnects) {
  WriteSites({Site("first"), Site("second")});
  ASSERT_EQ(t.Folder().Size("qln.sit"), 790u);
  t.app->State().startupHost = "old.example";
  t.app->Connection()->SetAutoState(AutoState::Retrying);
  // The instance's own list: choosing a site connects through the session's wiring.
  SiteList& list = *t.app->Sites();
  list.Show();
  ASSERT_TRUE(list.SelectSite("SECOND"));
  ASSERT_TRUE(list.Ok());
  EXPECT_FALSE(list.Open());
  auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Name(), "second");
  EXPECT_EQ(records[1].Name(), "first");
  EXPECT_EQ(t.app->State().currentSite.Name(), "second");
  EXPECT_EQ(t.app->State().pendingSite.Name(), "second");
  EXPECT_EQ(t.app->State().startupHost, "");
  EXPECT_EQ(t.app->Connection()->AutoState(), AutoState::Off);
  ASSERT_EQ(sockets.made.size(), 1u);
  EXPECT_EQ(sockets.made[0]->lastHost, "second.example");

  // Record 1 stays where it is.
  ASSERT_TRUE(list.SelectSite("second"));
  ASSERT_TRUE(list.Ok());
  EXPECT_EQ(Records()[0].Name(), "second");
  EXPECT_EQ(sockets.made.size(), 2u);
}

TEST_F(SiteListTest, DeletingTheOnlySiteLeavesAnEmptyFileAndRemovesItsScript) {
  WriteSites({Site("lonely")});
  t.Folder().WriteAtomic("SCRIPT\\LONELY.SCR", "/S hi\r\n");
  SiteList list(*t.app);
  list.Show();
  ASSERT_TRUE(list.Delete());
  EXPECT_TRUE(list.Names().empty());
  EXPECT_EQ(list.SelectedIndex(), -1);
  EXPECT_TRUE(t.Folder().Exists("qln.sit"));
  EXPECT_EQ(t.Folder().Size("qln.sit"), 0u);
  EXPECT_FALSE(t.Folder().Exists("SCRIPT\\LONELY.SCR"));
  EXPECT_FALSE(t.Folder().Exists("qln.bak"));
  // Nothing selected: nothing to delete, edit or connect.
  EXPECT_FALSE(list.Delete());
  EXPECT_FALSE(list.Edit());
  EXPECT_FALSE(list.Ok());
}

TEST_F(SiteListTest, DeleteSelectsTheNextSiteAndNewSitesJoinTheList) {
  WriteSites({Site("one"), Site("two"), Site("three")});
  SiteList list(*t.app);
  list.Show();
  list.Select(1);
  ASSERT_TRUE(list.Delete());
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"one", "three"}));
  EXPECT_EQ(list.SelectedName(), "three");

  auto editor = list.New();
  ASSERT_TRUE(editor->IsNew());
  SiteFields f;
  f.name = "Four-4";
  f.address = "four.example";
  EXPECT_EQ(editor->Save(f), "");
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"one", "three", "Four-4"}));
  EXPECT_EQ(list.SelectedName(), "Four-4");
  EXPECT_TRUE(t.prompter.shown.empty());  // no "changes" note for a new site
}

}  // namespace
}  // namespace qn
