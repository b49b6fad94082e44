// The site list and site editor dialogs on an App with a telnet session over
// the fake socket: what the user clicks and types reaches the site file, the
// script folder and the connect, and every refusal is a message box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "app/app.h"
#include "core/site_file.h"
#include "core/site_list.h"
#include "fakes/fake_socket.h"
#include "fakes/test_app.h"
#include "session/connection_control.h"
#include "ui/site_editor_dialog.h"
#include "ui/site_list_dialog.h"

namespace {

qn::SiteRecord Site(const std::string& name, const std::string& comment = "") {
  qn::SiteRecord r;
  r.SetName(name);
  r.SetAddress(name + ".example");
  r.SetPortType('0');
  r.SetKeepAliveEnabled(false);
  r.SetKeepAlivePeriod("0");
  r.SetComment(comment);
  return r;
}

struct SiteDialogsTest : ::testing::Test {
  qn::fakes::TestApp t;
  qn::fakes::FakeSocketFactory sockets;

  void SetUp() override {
    qn::AppSettings s;
    s.ownCallsign = "G4TST";
    t.Folder().WriteAtomic("quillnet.cfg", s.Serialise());
    t.app = std::make_unique<qn::App>(qn::Ports{t.loop, t.clock, t.prompter, t.registry, nullptr, &sockets},
                                      t.Folder());
    t.app->StartUp("");
    ASSERT_TRUE(t.app->Connection());
    t.prompter.shown.clear();
  }
  void WriteSites(const std::vector<qn::SiteRecord>& sites) {
    t.Folder().WriteAtomic("qln.sit", qn::SerialiseSiteFile(sites));
  }
  std::vector<qn::SiteRecord> Records() { return qn::ParseSiteFile(t.Folder().Read("qln.sit").value_or("")); }
  std::string LastMessage() const { return t.prompter.shown.empty() ? "" : t.prompter.shown.back().text; }
  template <typename T>
  static T* Find(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static QStringList Items(QListWidget* list) {
    QStringList r;
    for (int i = 0; i < list->count(); ++i) r << list->item(i)->text();
    return r;
  }
};

TEST_F(SiteDialogsTest, ListShowsTheSitesAndEnterConnectsTheSelectedOne) {
  WriteSites({Site("first", "the usual node"), Site("Second_2", "contest node")});
  t.app->State().currentSite = Site("SECOND_2");
  t.app->State().startupHost = "old.example";
  qn::SiteListDialog dlg(*t.app);
  EXPECT_EQ(dlg.objectName(), "frmsite");
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Connect to site");
  for (const char* b : {"Cmdsitnew", "Cmdsitedit", "Cmdsitdel", "Cmdsitok", "Cmdsitecan"})
    Find<QPushButton>(&dlg, b);
  auto* list = Find<QListWidget>(&dlg, "Listsite");
  auto* comment = Find<QLabel>(&dlg, "Labcomment");
  EXPECT_EQ(Items(list), QStringList({"first", "Second_2"}));
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_EQ(comment->text(), "contest node");
  list->setCurrentRow(0);
  EXPECT_EQ(comment->text(), "the usual node");
  list->setCurrentRow(1);

  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(t.app->Sites()->Open());
  ASSERT_EQ(sockets.made.size(), 1u);
  EXPECT_EQ(sockets.made[0]->lastHost, "Second_2.example");
  EXPECT_EQ(t.app->State().startupHost, "");
  auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Name(), "Second_2");
  EXPECT_EQ(records[1].Name(), "first");
}

TEST_F(SiteDialogsTest, DeleteRemovesTheSiteAndEscapeCancelsWithoutConnecting) {
  WriteSites({Site("one"), Site("two"), Site("three")});
  t.Folder().WriteAtomic("SCRIPT\\TWO.SCR", "/S hi\r\n");
  qn::SiteListDialog dlg(*t.app);
  auto* list = Find<QListWidget>(&dlg, "Listsite");
  list->setCurrentRow(1);
  Find<QPushButton>(&dlg, "Cmdsitdel")->click();
  EXPECT_EQ(Items(list), QStringList({"one", "three"}));
  EXPECT_EQ(list->currentItem()->text(), "three");
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_FALSE(t.Folder().Exists("SCRIPT\\TWO.SCR"));

  // OK with nothing selected neither closes nor connects.
  list->setCurrentRow(-1);
  Find<QPushButton>(&dlg, "Cmdsitok")->click();
  EXPECT_TRUE(t.app->Sites()->Open());

  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_FALSE(t.app->Sites()->Open());
  EXPECT_TRUE(sockets.made.empty());
}

TEST_F(SiteDialogsTest, NewOpensAnEmptyEditorAndTheSavedSiteJoinsTheList) {
  WriteSites({Site("old")});
  qn::SiteListDialog dlg(*t.app);
  QString caption;
  bool wasEmpty = false;
  // The editor is modal: it is filled in and confirmed once it is up.
  QTimer::singleShot(0, [&] {
    auto* ed = qobject_cast<qn::SiteEditorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(ed, nullptr);
    caption = ed->windowTitle();
    wasEmpty = ed->Fields() == qn::SiteFields{};
    QTest::keyClicks(Find<QLineEdit>(ed, "Txtsitname"), "New-1");
    QTest::keyClicks(Find<QLineEdit>(ed, "Txtsitadd"), "new.example");
    Find<QPushButton>(ed, "Cmdsitok")->click();
  });
  Find<QPushButton>(&dlg, "Cmdsitnew")->click();
  EXPECT_EQ(caption, "Quillnet: New site");
  EXPECT_TRUE(wasEmpty);
  auto* list = Find<QListWidget>(&dlg, "Listsite");
  EXPECT_EQ(Items(list), QStringList({"old", "New-1"}));
  EXPECT_EQ(list->currentItem()->text(), "New-1");
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_TRUE(t.prompter.shown.empty());
}

TEST_F(SiteDialogsTest, EditorFiltersKeysAndFollowsTheEnableRules) {
  qn::SiteEditorDialog ed(*t.app);
  EXPECT_EQ(ed.objectName(), "Frmsited");
  for (const char* n : {"Optportt", "Optportc", "Optdxc", "Optoth"}) Find<QRadioButton>(&ed, n);
  for (const char* n :
       {"Chkkeepen", "Checkautoc", "Checkautor", "Checkfrom", "Checkto", "Chkddein", "Chkddeout"})
    Find<QCheckBox>(&ed, n);
  for (const char* n : {"Cmdhelp", "Cmdsitok", "Cmdsitecan"}) Find<QPushButton>(&ed, n);
  Find<QPlainTextEdit>(&ed, "Textscript");
  Find<QLineEdit>(&ed, "Txtcomment");

  auto* name = Find<QLineEdit>(&ed, "Txtsitname");
  QTest::keyClicks(name, "My site/..\\x_1-Z");
  EXPECT_EQ(name->text(), "Mysitex_1-Z");
  QTest::keyClick(name, Qt::Key_Backspace);
  EXPECT_EQ(name->text(), "Mysitex_1-");
  // A paste keeps what the rule allows instead of failing whole.
  name->clear();
  name->insert("ab c:d");
  EXPECT_EQ(name->text(), "abcd");
  auto* period = Find<QLineEdit>(&ed, "Txtsitper");
  auto* port = Find<QLineEdit>(&ed, "Txtsitport");
  EXPECT_FALSE(port->isEnabled());
  EXPECT_FALSE(period->isEnabled());
  Find<QRadioButton>(&ed, "Optportc")->click();
  EXPECT_TRUE(port->isEnabled());
  Find<QRadioButton>(&ed, "Optportt")->click();
  EXPECT_FALSE(port->isEnabled());
  Find<QCheckBox>(&ed, "Chkkeepen")->click();
  EXPECT_TRUE(period->isEnabled());
  QTest::keyClicks(period, "1a 5");
  EXPECT_EQ(period->text(), "15");
  EXPECT_TRUE(t.prompter.shown.empty());
}

TEST_F(SiteDialogsTest, EditorOkRefusesInOrderThenStoresTheSite) {
  qn::SiteEditorDialog ed(*t.app);
  auto* ok = Find<QPushButton>(&ed, "Cmdsitok");
  auto* address = Find<QLineEdit>(&ed, "Txtsitadd");
  auto refusal = [&] {
    t.prompter.shown.clear();
    ok->click();
    EXPECT_EQ(ed.result(), QDialog::Rejected);
    EXPECT_EQ(t.prompter.shown.size(), 1u);
    return LastMessage();
  };
  EXPECT_EQ(refusal(), "Must specify a site name");
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtsitname"), "Node_2");
  EXPECT_EQ(refusal(), "IP address or host name required");
  QTest::keyClicks(address, "10.0.1");
  EXPECT_EQ(refusal(), "Host address not valid");
  // Enter in the address box checks it on the spot, and does not press OK.
  t.prompter.shown.clear();
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_EQ(LastMessage(), "Host address not valid");
  EXPECT_EQ(t.prompter.shown.back().icon, qn::MsgIcon::Exclamation);
  EXPECT_FALSE(t.Folder().Exists("qln.sit"));
  address->setText("10.0.1.7");
  t.prompter.shown.clear();
  QTest::keyClick(address, Qt::Key_Return);
  EXPECT_TRUE(t.prompter.shown.empty());

  Find<QRadioButton>(&ed, "Optportc")->click();
  EXPECT_EQ(refusal(), "Must specify a custom port");
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtsitport"), "7300");
  Find<QCheckBox>(&ed, "Chkkeepen")->click();
  EXPECT_EQ(refusal(), "Must specify a keep alive period");
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtsitper"), "10");
  Find<QRadioButton>(&ed, "Optoth")->click();
  Find<QCheckBox>(&ed, "Chkddeout")->click();
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtcomment"), "the relay");

  t.prompter.shown.clear();
  ok->click();
  EXPECT_EQ(ed.result(), QDialog::Accepted);
  EXPECT_TRUE(t.prompter.shown.empty());
  auto records = Records();
  ASSERT_EQ(records.size(), 1u);
  const qn::SiteRecord& r = records[0];
  EXPECT_EQ(r.Name(), "Node_2");
  EXPECT_EQ(r.Address(), "10.0.1.7");
  EXPECT_EQ(r.PortType(), '1');
  EXPECT_EQ(r.CustomPort(), "7300");
  EXPECT_TRUE(r.KeepAliveEnabled());
  EXPECT_EQ(r.KeepAlivePeriod(), "10");
  EXPECT_EQ(r.ServiceFlags(), 2 + 4);
  EXPECT_EQ(r.Comment(), "the relay");
  EXPECT_EQ(t.app->State().currentSite.Name(), "Node_2");
  EXPECT_EQ(t.app->Sites()->SelectedName(), "Node_2");
  // A second new site of that name, typed in capitals, is refused.
  qn::SiteEditorDialog again(*t.app);
  QTest::keyClicks(Find<QLineEdit>(&again, "Txtsitname"), "NODE_2");
  QTest::keyClicks(Find<QLineEdit>(&again, "Txtsitadd"), "other.example");
  Find<QPushButton>(&again, "Cmdsitok")->click();
  EXPECT_EQ(LastMessage(), "A site with this name already exists");
  EXPECT_EQ(Records().size(), 1u);
}

TEST_F(SiteDialogsTest, ScriptAndBridgeBoxesWarnAndUntick) {
  qn::SiteEditorDialog ed(*t.app);
  auto* useScript = Find<QCheckBox>(&ed, "Checkautoc");
  auto* reconnect = Find<QCheckBox>(&ed, "Checkautor");
  auto* script = Find<QPlainTextEdit>(&ed, "Textscript");
  useScript->click();
  EXPECT_FALSE(useScript->isChecked());
  EXPECT_EQ(LastMessage(), "The script file is null: you'll have to edit a script file before doing this");
  QTest::keyClicks(script, "Yourcall");
  reconnect->click();
  EXPECT_FALSE(reconnect->isChecked());
  EXPECT_EQ(LastMessage(), "You'll have to edit the script and set your call and password before doing this");
  script->setPlainText("/W login:\n/S G4TST");
  t.prompter.shown.clear();
  reconnect->click();
  EXPECT_TRUE(reconnect->isChecked());
  EXPECT_TRUE(t.prompter.shown.empty());

  // The warnings preset Cancel; only OK keeps the tick.
  auto* from = Find<QCheckBox>(&ed, "Checkfrom");
  auto* to = Find<QCheckBox>(&ed, "Checkto");
  from->click();
  EXPECT_FALSE(from->isChecked());
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_TRUE(LastMessage().starts_with("Warning: by checking this box, the DX spots received by other"));
  EXPECT_EQ(t.prompter.shown.back().buttons, qn::MsgButtons::OkCancel);
  t.prompter.buttonAnswers.push_back(qn::MsgResult::Ok);
  to->click();
  EXPECT_TRUE(to->isChecked());
  EXPECT_TRUE(
      LastMessage().starts_with("Warning: by checking this box, the DX spots received by the current"));
  // Unticking asks nothing.
  t.prompter.shown.clear();
  to->click();
  EXPECT_FALSE(to->isChecked());
  EXPECT_TRUE(t.prompter.shown.empty());

  // The script is saved with the lines as typed, ended as script files end them.
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtsitname"), "Scripted");
  QTest::keyClicks(Find<QLineEdit>(&ed, "Txtsitadd"), "node.example");
  Find<QPushButton>(&ed, "Cmdsitok")->click();
  EXPECT_EQ(ed.result(), QDialog::Accepted);
  EXPECT_EQ(t.Folder().Read("SCRIPT\\SCRIPTED.SCR"), "/W login:\r\n/S G4TST");
  EXPECT_EQ(Records()[0].AutoFlags(), 2);
}

TEST_F(SiteDialogsTest, EditShowsTheSiteAndLeavesAnUntouchedScriptAsItWas) {
  qn::SiteRecord r = Site("Home", "my node");
  r.SetPortType('1');
  r.SetCustomPort("8000");
  r.SetBridgeFlags(1);
  r.SetAutoFlags(1);
  WriteSites({Site("other"), r});
  // Line ends the text box does not keep must survive an edit that leaves the script alone.
  const std::string scriptText = "/W call:\n/S G4TST\r\n";
  t.Folder().WriteAtomic("SCRIPT\\HOME.SCR", scriptText);
  qn::SiteListDialog dlg(*t.app);
  Find<QListWidget>(&dlg, "Listsite")->setCurrentRow(1);
  QTimer::singleShot(0, [&] {
    auto* ed = qobject_cast<qn::SiteEditorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->windowTitle(), "Quillnet: Edit site");
    EXPECT_EQ(Find<QLineEdit>(ed, "Txtsitname")->text(), "Home");
    EXPECT_TRUE(Find<QRadioButton>(ed, "Optportc")->isChecked());
    EXPECT_TRUE(Find<QLineEdit>(ed, "Txtsitport")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>(ed, "Checkfrom")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(ed, "Checkautoc")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(ed, "Textscript")->toPlainText(), "/W call:\n/S G4TST\n");
    auto* comment = Find<QLineEdit>(ed, "Txtcomment");
    comment->clear();
    QTest::keyClicks(comment, "moved");
    Find<QPushButton>(ed, "Cmdsitok")->click();
  });
  Find<QPushButton>(&dlg, "Cmdsitedit")->click();
  EXPECT_EQ(LastMessage(), "Changes (if any) will be active at next connection");
  EXPECT_EQ(Records()[1].Comment(), "moved");
  EXPECT_EQ(Find<QLabel>(&dlg, "Labcomment")->text(), "moved");
  EXPECT_EQ(t.Folder().Read("SCRIPT\\HOME.SCR"), scriptText);
}

}  // namespace
