// The links dialog Frmcfgdxh: its controls, the refused Save, and a Save that
// switches the log link on.
#include "ui/links_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/app.h"
#include "fakes/test_app.h"
#include "links/links.h"

namespace {

TEST(LinksDialogTest, AnEnabledLinkNeedsAPathAndSaveStartsIt) {
  qn::fakes::TestApp t;
  qn::App& app = t.StartWithCall("/DEMO");
  t.prompter.shown.clear();
  qn::LinksDialog dlg(app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Links to DX-HUNTER and other programs");
  auto* enable = dlg.findChild<QCheckBox*>("Chken");
  auto* path = dlg.findChild<QLineEdit*>("Txtdxhp");
  auto* exe = dlg.findChild<QLineEdit*>("Textexe");
  auto* save = dlg.findChild<QPushButton*>("Cmdcfgdxhsav");
  ASSERT_TRUE(enable && path && exe && save && dlg.findChild<QLineEdit*>("Texttopic") &&
              dlg.findChild<QLineEdit*>("Textitem") && dlg.findChild<QPushButton*>("Cmdcfgdxhcanc"));
  EXPECT_FALSE(enable->isChecked());
  EXPECT_EQ(path->text().toStdString(), app.Settings().logFolder);

  QTest::mouseClick(enable, Qt::LeftButton);
  path->clear();
  QTest::mouseClick(save, Qt::LeftButton);
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, "Must specify a path");
  EXPECT_EQ(dlg.result(), 0);

  path->setText((t.dir.Path() / "log").c_str());
  exe->setText("logger.EXE");
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(app.Settings().ddeApplication, "logger");
  EXPECT_TRUE(app.Options().linkToDxHunter);
  EXPECT_TRUE(app.Frame().Item("mnulink").checked);
  EXPECT_TRUE(app.LinkIo()->OutgoingLinkRunning());
  EXPECT_NE(t.Folder().Read("quillnet.cfg")->find((t.dir.Path() / "log/").string()), std::string::npos);
}

}  // namespace
