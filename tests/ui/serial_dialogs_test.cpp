// The aux-port dialog Frmcfgaux and the TNC dialog Frmcfgtnc: their controls,
// the device each number names, Enter on an empty required field, the port
// number's keys, and what Save stores.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/app.h"
#include "fakes/fake_serial_port.h"
#include "fakes/test_app.h"
#include "ui/aux_comm_dialog.h"
#include "ui/tnc_parameters_dialog.h"

namespace {

TEST(SerialDialogsTest, AuxCommShowsDevicesRefusesAndSaves) {
  qn::fakes::TestApp t;
  qn::fakes::FakeSerialPort port(t.clock);
  port.present = {"/dev/ttyUSB0"};
  t.serial = &port;
  t.Folder().WriteAtomic("SERIAL.TXT", "3 /dev/ttyUSB0\r\n");
  qn::App& app = t.StartWithCall("/DEMO");
  t.prompter.shown.clear();
  qn::AuxCommDialog dlg(app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: Aux Comm Configuration");
  auto* number = dlg.findChild<QLineEdit*>("Txtpnum");
  auto* settings = dlg.findChild<QLineEdit*>("Txtset");
  auto* escape = dlg.findChild<QLineEdit*>("Txtesc");
  auto* enable = dlg.findChild<QCheckBox*>("Chken");
  auto* base = dlg.findChild<QLineEdit*>("Txtlog");
  auto* devices = dlg.findChild<QLabel*>("Lbldevices");
  auto* save = dlg.findChild<QPushButton*>("Cmdsav");
  ASSERT_TRUE(number && settings && escape && enable && base && devices && save &&
              dlg.findChild<QCheckBox*>("Checkinp") && dlg.findChild<QCheckBox*>("Chkxon") &&
              dlg.findChild<QCheckBox*>("Chkrts") && dlg.findChild<QCheckBox*>("Chklog"));
  EXPECT_NE(devices->text().toStdString().find("/dev/ttyUSB0"), std::string::npos);

  number->clear();
  QTest::keyClicks(number, "3/");  // "/" is not a key of this box
  EXPECT_EQ(number->text().toStdString(), "3");
  EXPECT_EQ(base->text().toStdString(), "&H3E8");
  EXPECT_NE(devices->text().toStdString().find("3 = /dev/ttyUSB0 (SERIAL.TXT)"), std::string::npos);

  enable->setChecked(true);
  escape->clear();
  escape->setFocus();
  number->setFocus();
  QTest::keyClick(&dlg, Qt::Key_Return);
  EXPECT_TRUE(t.prompter.shown.empty());  // Enter goes to the empty field instead
  QTest::mouseClick(save, Qt::LeftButton);
  ASSERT_EQ(t.prompter.shown.size(), 1u);
  EXPECT_EQ(t.prompter.shown[0].text, "Must specify an escape string");

  escape->setText("+++");
  settings->setText("4800,e,7,1");
  QTest::mouseClick(save, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(t.prompter.shown.back().text, "Changes (if any) will be active at next restart");
  EXPECT_EQ(app.Settings().auxPortList, "3");
  EXPECT_EQ(app.Settings().auxPortSettings, "4800,E,7,1");
  EXPECT_TRUE(app.Settings().auxEnabled);
  EXPECT_EQ(app.Settings().logPortBase, 0x3E8);
  t.app.reset();  // before the device it holds
}

TEST(SerialDialogsTest, TncParametersStoresModeAndPath) {
  qn::fakes::TestApp t;
  qn::App& app = t.StartWithCall("/DEMO");
  qn::TncParametersDialog dlg(app);
  EXPECT_EQ(dlg.windowTitle(), "Quillnet: TNC Parameters Configuration");
  auto* path = dlg.findChild<QLineEdit*>("Txtpath");
  auto* ded = dlg.findChild<QRadioButton*>("Optded");
  auto* tapr = dlg.findChild<QRadioButton*>("Opttapr");
  ASSERT_TRUE(path && ded && tapr);
  EXPECT_TRUE(tapr->isChecked());
  QTest::keyClicks(path, "~/tnc*.ini");
  EXPECT_EQ(path->text().toStdString(), "~/tnc.ini");
  ded->setChecked(true);
  QTest::mouseClick(dlg.findChild<QPushButton*>("Cmdsav"), Qt::LeftButton);
  EXPECT_EQ(app.Settings().tncMode, 2);
  EXPECT_EQ(app.Settings().tncInitPath, "~/tnc.ini");
}

}  // namespace
