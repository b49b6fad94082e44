// BRIDGE.TXT and crypto.txt: what they set, and that a damaged file turns the
// feature off instead of half on.
#include <gtest/gtest.h>

#include <algorithm>

#include "bridge/bridge_params.h"
#include "bridge/link_crypto.h"

namespace qn {
namespace {

TEST(BridgeParamsTest, ValuesInOrderWithCommentsAndSlashes) {
  BridgeParams p = LoadBridgeParams(
      "' bridge settings\r\n+3ABC\r\n\r\ngb7xyz\r\nh99\r\n  d-mmm-yyyy  \r\n/PRIVMSG #dx :\r\n/SUFFIX\r\n"
      "/ [x]\r\n/irc:\r\n/@\r\nignored\r\n");
  EXPECT_EQ(p.flags, 3);
  EXPECT_TRUE(p.echoAuxSpots);
  EXPECT_TRUE(p.noOwnTag);
  EXPECT_EQ(p.nodeCall, "GB7XYZ");
  EXPECT_EQ(p.hopsField, "H99");
  EXPECT_EQ(p.dateFormat, "d-mmm-yyyy");
  EXPECT_EQ(p.auxPrefix, "PRIVMSG #dx :");
  EXPECT_EQ(p.auxSuffix, "SUFFIX");
  EXPECT_EQ(p.ircLineSuffix, " [x]");
  EXPECT_EQ(p.ircPrefix, "irc:");
  EXPECT_EQ(p.ircSuffix, "@");
  EXPECT_TRUE(p.BuildsPc11());

  BridgeParams plain = LoadBridgeParams("0\r\n");
  EXPECT_FALSE(plain.BuildsPc11());
  EXPECT_FALSE(plain.echoAuxSpots);
  EXPECT_TRUE(plain.nodeCall.empty());
}

TEST(BridgeParamsTest, GarbageOrHugeFileLeavesEverythingEmpty) {
  std::string binary("1\r\nGB7XYZ\r\n\x01\x02\xff\x00zz", 15);
  std::string huge(1 << 20, 'A');
  for (const std::string& text : {binary, huge}) {
    BridgeParams p = LoadBridgeParams(text);
    EXPECT_EQ(p.flags, 0);
    EXPECT_TRUE(p.nodeCall.empty());
    EXPECT_TRUE(p.auxPrefix.empty());
  }
  // A very long value is cut, not kept whole.
  BridgeParams p = LoadBridgeParams("1\r\n" + std::string(5000, 'K') + "\r\n");
  EXPECT_EQ(p.nodeCall.size(), BridgeParams::kMaxValue);
}

std::string CryptoFile(const std::string& values) {
  std::string text = "' link crypto\r\n";
  for (char c : values) text += std::string(1, c) + "\r\n";
  return text;
}

TEST(LinkCryptoTest, ValidTableAndItsInverse) {
  LinkCrypto c = LoadLinkCrypto(CryptoFile("35172643"));
  ASSERT_TRUE(c.Usable());
  EXPECT_EQ(c.flags, 3);
  EXPECT_EQ(c.send[0], 0);
  EXPECT_EQ(c.send[1], 3);
  EXPECT_EQ(c.receive[3], 1);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(c.receive[static_cast<std::size_t>(c.send[static_cast<std::size_t>(i)])], i);
  EXPECT_TRUE(c.Covers(LinkCrypto::kAuxBit));
  EXPECT_TRUE(c.Covers(LinkCrypto::kSessionBit));
}

TEST(LinkCryptoTest, BadTablesKeepCryptoOff) {
  for (const char* values : {"3517264", "35172653", "05172643", "35172680", "3517264x"}) {
    LinkCrypto c = LoadLinkCrypto(CryptoFile(values));
    EXPECT_FALSE(c.Usable()) << values;
    EXPECT_EQ(c.send, CryptoTable{}) << values;
  }
  EXPECT_FALSE(LoadLinkCrypto(std::string(1 << 20, '1')).Usable());
  EXPECT_FALSE(LoadLinkCrypto(std::string("\x00\x01\xfe\r\n", 5)).Usable());
  EXPECT_FALSE(LoadLinkCrypto("").Usable());
}

TEST(LinkCryptoTest, EveryByteComesBackAndControlsPassUntouched) {
  LinkCrypto c = LoadLinkCrypto(CryptoFile("35172641"));
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  std::string sent = CryptText(all, c.send);
  EXPECT_NE(sent, all);
  EXPECT_EQ(CryptText(sent, c.receive), all);
  EXPECT_EQ(sent.substr(0, 32), all.substr(0, 32));
  // Every byte still maps to a distinct byte: nothing is lost on the way.
  std::string sorted = sent;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
}

}  // namespace
}  // namespace qn
