#include "serial/aux_settings.h"

#include <gtest/gtest.h>

#include "fakes/temp_folder.h"
#include "serial/aux_comm_rules.h"
#include "serial/aux_port.h"

namespace qn {
namespace {

TEST(ResolveAuxPort, EachCopyTakesItsOwnEntryWithItsFlagAndSettings) {
  EXPECT_EQ(ResolveAuxPort("1;2", 1, "9600,N,8,1").port, 1);
  EXPECT_EQ(ResolveAuxPort("1;2", 2, "9600,N,8,1").port, 2);
  EXPECT_EQ(ResolveAuxPort("1;2", 3, "9600,N,8,1").port, 0);
  EXPECT_EQ(ResolveAuxPort(";1;2;", 2, "").port, 2);
  EXPECT_EQ(ResolveAuxPort("", 1, "").port, 0);
  EXPECT_EQ(ResolveAuxPort("1;;3", 2, "").port, 0);

  AuxEntry own = ResolveAuxPort("3:4800,E,7,2", 1, "9600,N,8,1");
  EXPECT_EQ(own.port, 3);
  EXPECT_EQ(own.settings, "4800,E,7,2");
  AuxEntry plus = ResolveAuxPort("1;+2", 2, "9600,N,8,1");
  EXPECT_EQ(plus.port, 2);
  EXPECT_TRUE(plus.inputOnly);
  EXPECT_FALSE(plus.quietTnc);
  EXPECT_EQ(plus.settings, "9600,N,8,1");
  AuxEntry minus = ResolveAuxPort("-1", 1, "");
  EXPECT_EQ(minus.port, 1);
  EXPECT_TRUE(minus.quietTnc);
  EXPECT_EQ(ResolveAuxPort("GARBAGE", 1, "").port, 0);
}

TEST(SerialSettingsText, LenientWithDefaultsForWhatIsMissingOrUnreadable) {
  bool ok = false;
  SerialSettings s = ParseSerialSettings("4800,e,7,2", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(s.baud, 4800);
  EXPECT_EQ(s.parity, 'E');
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.stopBits, 2);
  s = ParseSerialSettings("1200", &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(s.baud, 1200);
  EXPECT_EQ(s.parity, 'N');
  EXPECT_EQ(s.dataBits, 8);
  s = ParseSerialSettings("fast,X,9,3", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(s.baud, 9600);
  EXPECT_EQ(s.parity, 'N');
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.stopBits, 1);
  s = ParseSerialSettings("\x01\xff,,,,,,,", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(s.baud, 9600);
}

TEST(LogPortBase, OfferedByPortNumberAndReadAsHex) {
  EXPECT_EQ(DefaultLogPortBase("1"), "&H3F8");
  EXPECT_EQ(DefaultLogPortBase("2"), "&H2F8");
  EXPECT_EQ(DefaultLogPortBase("3"), "&H3E8");
  EXPECT_EQ(DefaultLogPortBase("4"), "&H2E8");
  EXPECT_EQ(DefaultLogPortBase("5"), "&H2E0");
  EXPECT_EQ(DefaultLogPortBase("1.5"), "&H2E0");
  EXPECT_EQ(ParseLogPortBase("&H3F8"), 1016);
  EXPECT_EQ(FormatLogPortBase(1016), "&H3F8");
}

TEST(SerialMap, NumbersNameDevicesAndTheRestAreTtyS) {
  fakes::TempFolder dir;
  DataFolder folder(dir.Path());
  folder.WriteAtomic(
      "serial.txt",
      "' my adapters\r\n3 /dev/ttyUSB0\r\n4\t/dev/serial/by-id/usb-FTDI_X-if00-port0\r\nx /dev/y\r\n");
  auto map = ReadSerialMap(folder);
  EXPECT_EQ(DeviceForPort(map, 3), "/dev/ttyUSB0");
  EXPECT_EQ(DeviceForPort(map, 4), "/dev/serial/by-id/usb-FTDI_X-if00-port0");
  EXPECT_EQ(DeviceForPort(map, 1), "/dev/ttyS0");
  EXPECT_EQ(DeviceForPort(map, 0), "");
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(AuxCommRules::DevicesNamed("1;3", map, {"/dev/ttyS0"}),
            "1 = /dev/ttyS0, 3 = /dev/ttyUSB0 (SERIAL.TXT, not present)");
}

TEST(TncLineEnds, EveryLineEndBecomesOneCr) {
  EXPECT_EQ(ToTncLineEnds("SH/DX\r\nBYE\n"), "SH/DX\rBYE\r");
  EXPECT_EQ(ToTncLineEnds("\nC GB7XX\n"), "C GB7XX\r");
  EXPECT_EQ(ToTncLineEnds("a\rb"), "a\rb");
}

TEST(AuxCommRulesSave, RefusesInOrderAndStoresUpperCased) {
  AppSettings s;
  AuxCommFields f;
  f.enabled = true;
  EXPECT_EQ(AuxCommRules::Save(f, s), kNeedPortNumber);
  EXPECT_EQ(AuxCommRules::FirstEmptyRequired(f), 1);
  f.portNumber = " 1;+2 ";
  EXPECT_EQ(AuxCommRules::Save(f, s), kNeedPortSettings);
  f.settings = "9600,n,8,1";
  EXPECT_EQ(AuxCommRules::Save(f, s), kNeedEscape);
  EXPECT_EQ(AuxCommRules::FirstEmptyRequired(f), 3);
  f.escape = " +++ ";
  f.settings = "rubbish";
  EXPECT_EQ(AuxCommRules::Save(f, s), kBadPortSettings);
  f.settings = "9600,n,8,1";
  f.hardware = true;
  f.xonXoff = true;
  f.logBase = "&H2F8";
  EXPECT_EQ(AuxCommRules::Save(f, s), "");
  EXPECT_EQ(s.auxPortList, "1;+2");
  EXPECT_EQ(s.auxPortSettings, "9600,N,8,1");
  EXPECT_EQ(s.auxEscapeString, "+++");
  EXPECT_EQ(s.auxHandshake, 3);
  EXPECT_EQ(s.logPortBase, 0x2F8);
  EXPECT_TRUE(AuxCommRules::AcceptsPortKey('+'));
  EXPECT_FALSE(AuxCommRules::AcceptsPortKey('/'));
  EXPECT_TRUE(TncParametersRules::AcceptsPathKey('~'));
  EXPECT_FALSE(TncParametersRules::AcceptsPathKey('*'));
}

}  // namespace
}  // namespace qn
