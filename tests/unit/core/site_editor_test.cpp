#include <gtest/gtest.h>

#include "core/site_editor_rules.h"
#include "core/site_file.h"
#include "core/site_list.h"
#include "fakes/test_app.h"

namespace qn {
namespace {

class SiteEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { t.StartWithCall(""); }

  SiteFile File() { return SiteFile(t.Folder(), t.app->State().sessionKind); }
  SiteFields Valid(const std::string& name) {
    SiteFields f;
    f.name = name;
    f.address = name + ".example.net";
    return f;
  }
  // Saves a new site; the messages of the save are dropped.
  void Create(const SiteFields& f) {
    SiteEditorRules e(*t.app, nullptr);
    ASSERT_EQ(e.Save(f), "");
    t.prompter.shown.clear();
  }
  std::optional<std::string> Script(const std::string& name) {
    return t.Folder().Read(ScriptFileName(name, false));
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& s : t.prompter.shown) texts.push_back(s.text);
    return texts;
  }

  fakes::TestApp t;
};

TEST_F(SiteEditorTest, OkChecksTheFieldsInOrder) {
  SiteEditorRules e(*t.app, nullptr);
  SiteFields f;
  f.customPort = true;
  f.keepAlive = true;
  f.address = "   ";
  EXPECT_EQ(e.Save(f), SiteEditorRules::kNoName);
  f.name = "node";
  EXPECT_EQ(e.Save(f), SiteEditorRules::kNoAddress);
  f.address = "10.0.1";
  EXPECT_EQ(e.Save(f), SiteEditorRules::kBadAddress);
  f.address = "10.0.0.1";
  EXPECT_EQ(e.Save(f), SiteEditorRules::kNoPort);
  f.port = "7300";
  EXPECT_EQ(e.Save(f), SiteEditorRules::kNoPeriod);
  f.keepAlivePeriod = "10";
  EXPECT_FALSE(File().Exists());  // nothing stored while refused
  EXPECT_EQ(e.Save(f), "");
  EXPECT_EQ(Shown(), (std::vector<std::string>{SiteEditorRules::kNoName, SiteEditorRules::kNoAddress,
                                               SiteEditorRules::kBadAddress, SiteEditorRules::kNoPort,
                                               SiteEditorRules::kNoPeriod}));
  for (const auto& s : t.prompter.shown) EXPECT_EQ(s.icon, MsgIcon::Exclamation);

  auto r = File().Read(1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Name(), "node");
  EXPECT_EQ(r->Address(), "10.0.0.1");
  EXPECT_EQ(r->PortType(), '1');
  EXPECT_EQ(r->CustomPort(), "7300");
  EXPECT_TRUE(r->KeepAliveEnabled());
  EXPECT_EQ(r->KeepAlivePeriod(), "10");
  EXPECT_EQ(t.app->State().currentSite, *r);
}

TEST_F(SiteEditorTest, AddressRules) {
  SiteEditorRules e(*t.app, nullptr);
  for (const char* ok : {"10.0.0.1", "dxc.example.net", "1.2.3.4x", ".hosts.txt", "44.128.0.255"}) {
    EXPECT_EQ(e.CheckAddress(ok), "") << ok;
  }
  for (const char* bad : {"10.0.1", "10.0.0.", "10.0.0.1.", "10..0.1", "10.0.0.256", "1.2.3.4.5"}) {
    EXPECT_EQ(e.CheckAddress(bad), SiteEditorRules::kBadAddress) << bad;
  }
  EXPECT_EQ(e.CheckAddress(" "), SiteEditorRules::kNoAddress);
  // A TNC site's address is not a network address.
  t.app->State().sessionKind = SessionKind::Tnc;
  EXPECT_EQ(e.CheckAddress("10.0.1"), "");
}

TEST_F(SiteEditorTest, KeyFiltersKeepNamesSafe) {
  for (char c : {'a', 'Z', '7', '-', '_', '\b'}) EXPECT_TRUE(SiteEditorRules::NameKeyAllowed(c)) << c;
  for (char c : {'.', ' ', '/', '\\', ':', '\xe9'}) EXPECT_FALSE(SiteEditorRules::NameKeyAllowed(c)) << c;
  EXPECT_TRUE(SiteEditorRules::PeriodKeyAllowed('5'));
  EXPECT_TRUE(SiteEditorRules::PeriodKeyAllowed('\b'));
  EXPECT_FALSE(SiteEditorRules::PeriodKeyAllowed('-'));

  // What arrives whole (the console) is filtered the same way: no path can leave SCRIPT.
  SiteFields f = Valid("x");
  f.name = "../../etc/My Node";
  f.script = "/S hello\r\n";
  Create(f);
  EXPECT_EQ(File().Read(1)->Name(), "etcMyNode");
  EXPECT_EQ(t.Folder().Read("SCRIPT\\ETCMYNOD.SCR"), "/S hello\r\n");
}

TEST_F(SiteEditorTest, ScriptSavedAsTypedDeletedWhenEmptiedAndMovedOnRename) {
  SiteFields f = Valid("Node-1");
  f.script = "/W login:\r\n  /S $$$$  \r\n\r\n";
  Create(f);
  EXPECT_EQ(Script("Node-1"), f.script);

  // An edit that leaves the script alone does not write it.
  SiteEditorRules keep(*t.app, nullptr);
  ASSERT_TRUE(keep.BeginEdit(1));
  EXPECT_EQ(keep.Caption(), SiteEditorRules::kEditCaption);
  EXPECT_EQ(keep.Initial().script, f.script);
  t.Folder().WriteAtomic(ScriptFileName("Node-1", false), "changed elsewhere");
  SiteFields same = keep.Initial();
  same.script = f.script;
  same.comment = "edited";
  EXPECT_EQ(keep.Save(same), "");
  EXPECT_EQ(Shown(), (std::vector<std::string>{SiteEditorRules::kChangesAtNextConnection}));
  EXPECT_EQ(Script("Node-1"), "changed elsewhere");

  // A rename to another script name takes the editor's text along.
  SiteEditorRules rename(*t.app, nullptr);
  ASSERT_TRUE(rename.BeginEdit(1));
  SiteFields renamed = rename.Initial();
  renamed.name = "Cluster";
  EXPECT_EQ(rename.Save(renamed), "");
  EXPECT_FALSE(Script("Node-1"));
  EXPECT_EQ(Script("Cluster"), "changed elsewhere");

  SiteEditorRules empty(*t.app, nullptr);
  ASSERT_TRUE(empty.BeginEdit(1));
  SiteFields emptied = empty.Initial();
  emptied.script.clear();
  EXPECT_EQ(empty.Save(emptied), "");
  EXPECT_FALSE(Script("Cluster"));
}

TEST_F(SiteEditorTest, RenameKeepsAScriptAnotherSiteShares) {
  SiteFields a = Valid("longname1");
  a.script = "/S shared\r\n";
  Create(a);
  Create(Valid("longname2"));  // the same first 8 characters: the same script
  SiteEditorRules e(*t.app, nullptr);
  ASSERT_TRUE(e.BeginEdit(1));
  SiteFields f = e.Initial();
  f.name = "other";
  EXPECT_EQ(e.Save(f), "");
  EXPECT_EQ(t.Folder().Read("SCRIPT\\LONGNAME.SCR"), "/S shared\r\n");
  EXPECT_EQ(Script("other"), "/S shared\r\n");
}

TEST_F(SiteEditorTest, DuplicateNamesAreRefusedOnlyForNewSites) {
  Create(Valid("Node"));
  Create(Valid("other"));
  SiteEditorRules fresh(*t.app, nullptr);
  EXPECT_EQ(fresh.Save(Valid("NODE")), SiteEditorRules::kDuplicate);
  EXPECT_EQ(File().Count(), 2u);

  SiteEditorRules e(*t.app, nullptr);
  ASSERT_TRUE(e.BeginEdit(2));
  SiteFields f = e.Initial();
  f.name = "node";
  EXPECT_EQ(e.Save(f), "");
  EXPECT_EQ(File().Count(), 2u);
  EXPECT_EQ(File().Read(2)->Name(), "node");
  // A second OK rewrites the same record instead of adding one.
  EXPECT_EQ(fresh.Save(Valid("third")), "");
  EXPECT_EQ(fresh.Save(Valid("third")), "");
  EXPECT_EQ(File().Count(), 3u);
}

TEST_F(SiteEditorTest, EditKeepsReservedBytesUpdatesThePendingSiteAndTheList) {
  SiteFields f = Valid("node");
  f.useScript = true;
  f.bridgeTo = true;
  f.serviceOther = true;
  f.ddeOut = true;
  f.comment = std::string(150, 'c');
  Create(f);
  // Bytes another program keeps in the reserved part survive an edit.
  std::string bytes = *t.Folder().Read("qln.sit");
  bytes[300] = 'Z';
  t.Folder().WriteAtomic("qln.sit", bytes);
  auto r = File().Read(1);
  EXPECT_EQ(r->AutoFlags(), 1);
  EXPECT_EQ(r->BridgeFlags(), 2);
  EXPECT_EQ(r->ServiceFlags(), 6);
  EXPECT_EQ(r->Comment().size(), 100u);
  t.app->State().pendingSite = *r;

  SiteList list(*t.app);
  list.Show();
  auto e = list.Edit();
  ASSERT_TRUE(e);
  SiteFields g = e->Initial();
  EXPECT_EQ(g.comment, std::string(100, 'c'));
  EXPECT_TRUE(g.useScript && g.bridgeTo && g.serviceOther && g.ddeOut);
  EXPECT_FALSE(g.autoReconnect || g.bridgeFrom || g.ddeIn);
  g.name = "renamed";
  g.address = "new.example";
  EXPECT_EQ(e->Save(g), "");
  EXPECT_EQ(File().Read(1)->View()[300], 'Z');
  EXPECT_EQ(t.app->State().pendingSite.Address(), "new.example");
  EXPECT_EQ(list.Names(), (std::vector<std::string>{"renamed"}));
  EXPECT_EQ(list.SelectedName(), "renamed");
}

TEST_F(SiteEditorTest, ScriptAndBridgeBoxWarnings) {
  SiteEditorRules e(*t.app, nullptr);
  EXPECT_FALSE(e.TickScriptOption(""));
  EXPECT_FALSE(e.TickScriptOption("/S Yourcall\r\n"));
  EXPECT_FALSE(e.TickScriptOption("/S G4TST\r\n/S Yourpassword\r\n"));
  EXPECT_TRUE(e.TickScriptOption("/S G4TST\r\n"));
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{SiteEditorRules::kScriptNull, SiteEditorRules::kScriptPlaceholders,
                                      SiteEditorRules::kScriptPlaceholders}));
  t.app->State().sessionKind = SessionKind::Tnc;
  EXPECT_TRUE(e.TickScriptOption("/S Yourpassword\r\n"));

  t.prompter.shown.clear();
  EXPECT_FALSE(e.TickBridgeFrom());  // Cancel is the preset answer
  t.prompter.buttonAnswers.push_back(MsgResult::Ok);
  EXPECT_TRUE(e.TickBridgeTo());
  ASSERT_EQ(t.prompter.shown.size(), 2u);
  EXPECT_EQ(t.prompter.shown[0].text, SiteEditorRules::kBridgeFromWarning);
  EXPECT_EQ(t.prompter.shown[1].text, SiteEditorRules::kBridgeToWarning);
  EXPECT_EQ(t.prompter.shown[1].buttons, MsgButtons::OkCancel);
  EXPECT_EQ(t.prompter.shown[1].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace qn
