// The web cluster dialog Frmcfgweb: its controls, the callsign's key filter,
// the bridge warning, a refused Save and one that writes qlnweb.cfg.
#include "ui/web_cluster_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/app.h"
#include "fakes/test_app.h"

namespace {

TEST(WebClusterDialogTest, KeysWarningAndSave) {
  qn::fakes::TestApp t;
  qn::AppSettings s;
  s.ownCallsign = "G4TST";
  t.Folder().WriteAtomic("qlnweb.cfg", s.Serialise());
  qn::App& app = t.Make();
  app.StartUp("/WEB");
  t.prompter.shown.clear();
  qn::WebClusterDialog dlg(app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Web Cluster Configuration");
  auto* servers = dlg.findChild<QLineEdit*>("Txtwebad");
  auto* period = dlg.findChild<QLineEdit*>("Txtwebper");
  auto* call = dlg.findChild<QLineEdit*>("Textcall");
  auto* bridge = dlg.findChild<QCheckBox*>("Checkto");
  auto* save = dlg.findChild<QPushButton*>("Cmdwebsav");
  ASSERT_TRUE(servers && period && call && bridge && save && dlg.findChild<QLineEdit*>("Txtwebpath") &&
              dlg.findChild<QCheckBox*>("Chkfirst") && dlg.findChild<QCheckBox*>("Chkddein") &&
              dlg.findChild<QCheckBox*>("Chkddeout") && dlg.findChild<QPushButton*>("Cmdwebcan"));
  EXPECT_EQ(servers->text().toStdString(), "localhost 8000, localhost 8000");

  call->clear();
  QTest::keyClicks(call, "k1/ab-c 9");
  EXPECT_EQ(call->text().toStdString(), "K1ABC9");

  QTest::mouseClick(bridge, Qt::LeftButton);
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_NE(t.prompter.shown[0].text.find("DX/CALL format"), std::string::npos);

  servers->clear();
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(t.prompter.shown.back().text, "IP address or host name required");
  EXPECT_EQ(dlg.result(), 0);

  servers->setText("127.0.0.1 8073");
  period->setText("5");
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(t.prompter.shown.back().text, "Changes (if any) will be active at next restart");
  auto cfg = t.Folder().Read("qlnweb.cfg");
  ASSERT_TRUE(cfg);
  EXPECT_NE(cfg->find("127.0.0.1 8073"), std::string::npos);
  EXPECT_NE(cfg->find("K1ABC9"), std::string::npos);
  EXPECT_EQ(app.Settings().webRefreshMinutes, 5);
  EXPECT_TRUE(app.Settings().webBridgeToRemote);
}

}  // namespace
