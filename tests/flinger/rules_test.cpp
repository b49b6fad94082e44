// flinger's rules without a socket: framing, duplicates, command forms, the
// receive history, the settings file and the local-link messages.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/datagram.h"
#include "core/flinger.h"
#include "core/ipc_codec.h"
#include "core/settings.h"
#include "fakes/temp_folder.h"

namespace fl {
namespace {

const std::string kSpot = "DX de K1ABC:     14025.0  DL1XYZ       cq                       1200Z";

struct Sent {
  std::string host;
  bool broadcast;
  std::string bytes;
};

class RecordingOut : public DatagramOut, public CopyPoker {
 public:
  void SendDatagram(const std::string& host, bool broadcast, const std::string& bytes) override {
    sent.push_back({host, broadcast, bytes});
  }
  void PokeAllCopies(const std::string& text) override { pokes.push_back(text); }
  std::vector<Sent> sent;
  std::vector<std::string> pokes;
};

class EngineTest : public ::testing::Test {
 protected:
  qn::fakes::TempFolder dir;
  Terminal terminal;
  ExchangeFolders exchange{dir.Path()};
  RecordingOut out;
  Flinger engine{terminal, exchange, out, out};
};

TEST(CtNet, FramesWithHeaderChecksumAndLineFeed) {
  // 66 + 48 + 65 + 66 = 245, already above 127.
  EXPECT_EQ(BuildDatagram("AB", true, "B0"), std::string("B0AB") + char(245) + "\n");
  EXPECT_EQ(CtChecksum("\x01"), 129);
  EXPECT_EQ(BuildDatagram("AB", false, "B0"), "AB\r\n");
  EXPECT_EQ(StripCtFrame(BuildDatagram(kSpot, true, "B0")), "B0" + kSpot);
  // A wrong checksum is no frame: the text stays as it came.
  std::string bad = "B0AB" + std::string(1, char(200)) + "\n";
  EXPECT_EQ(StripCtFrame(bad), bad);
  EXPECT_EQ(StripCtFrame("\n"), "\n");
}

TEST(Rules, DuplicateKeyLeavesOutTheSpotter) {
  EXPECT_EQ(DuplicateKey(kSpot), "14025.0  DL1XYZ       cq");
  EXPECT_EQ(DuplicateKey("DX de G4ABC:     14025.0  DL1XYZ       cq                       1201Z"),
            DuplicateKey(kSpot));
  EXPECT_EQ(DuplicateKey("SH/DX"), "SH/DX");
  EXPECT_EQ(DuplicateKey(std::string(100, 'x')).size(), 64u);
}

TEST(Rules, CommandForms) {
  std::string cmd;
  EXPECT_TRUE(CommandForm("+++SH/DX 5", &cmd));
  EXPECT_EQ(cmd, "SH/DX 5");
  EXPECT_TRUE(CommandForm("A1 dx 14025 K1ABC", &cmd));
  EXPECT_EQ(cmd, "dx 14025 K1ABC");
  EXPECT_TRUE(CommandForm("A0DX 7001 K1ABC", &cmd));
  EXPECT_FALSE(CommandForm("A123DX 7001", &cmd));  // "DX " after character 4
  EXPECT_FALSE(CommandForm("BDX 7001", &cmd));
  EXPECT_FALSE(CommandForm("", &cmd));
}

TEST(Rules, TestSpotsDifferInTheirCounter) {
  EXPECT_EQ(TestSpotLine(1), "DX de XX5AA:     21264.7  XX1BB        1                              1221Z");
  EXPECT_EQ(TestSpotLine(32767).substr(39, 5), "32767");
  EXPECT_EQ(TestSpotLine(7).size(), TestSpotLine(1).size());
}

TEST(Rules, ReceiveHistoryKeepsTheLatestLines) {
  ReceiveHistory h;
  EXPECT_FALSE(h.SeenBefore(kSpot));
  EXPECT_TRUE(h.SeenBefore(kSpot));
  // Once full it still takes new lines (the oldest fall out).
  for (int i = 0; i < 100; ++i) h.SeenBefore("line number " + std::to_string(i) + std::string(40, '.'));
  EXPECT_FALSE(h.SeenBefore(kSpot));
  EXPECT_TRUE(h.SeenBefore("line number 99" + std::string(40, '.')));
}

TEST(Settings, ReadsEightLinesAndWritesThemBack) {
  FlingerSettings s =
      ParseSettings(" 192.168.1.255 \r\n1\r\n1\r\n0\r\n9871\r\n9872\r\n::\r\n/home/me/log/\r\n");
  EXPECT_EQ(s.host, "192.168.1.255");
  EXPECT_TRUE(s.fileExchange);
  EXPECT_TRUE(s.broadcast);
  EXPECT_FALSE(s.ctNet);
  EXPECT_EQ(s.localPort, 9871);
  EXPECT_EQ(s.remotePort, 9872);
  EXPECT_EQ(s.bindAddress, "::");
  EXPECT_EQ(s.userFile, "/home/me/log/");
  EXPECT_EQ(FormatSettings(s), "192.168.1.255\r\n1\r\n1\r\n0\r\n9871\r\n9872\r\n::\r\n/home/me/log/\r\n");
  s.host = "a\r\nb";
  EXPECT_EQ(ParseSettings(FormatSettings(s)).bindAddress, "::");
  FlingerSettings d = ParseSettings("");
  EXPECT_EQ(FormatSettings(d), "\r\n0\r\n0\r\n0\r\n9870\r\n9870\r\n0.0.0.0\r\n\r\n");
}

TEST(Settings, GarbageGivesDefaultsNotNonsense) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  FlingerSettings s = ParseSettings(garbage);
  EXPECT_GE(s.localPort, 0);
  EXPECT_LE(s.localPort, 65535);
  EXPECT_LE(s.host.size(), 1024u);
  FlingerSettings p = ParseSettings("h\r\nyes\r\n2\r\n1\r\n99999\r\nabc\r\n\r\n");
  EXPECT_FALSE(p.fileExchange);
  EXPECT_FALSE(p.broadcast);
  EXPECT_TRUE(p.ctNet);
  EXPECT_EQ(p.localPort, 9870);
  EXPECT_EQ(p.remotePort, 9870);
  EXPECT_EQ(p.bindAddress, "0.0.0.0");
  EXPECT_EQ(ParsePort("0", 1), 0);
}

TEST(Settings, DataFolderChoice) {
  auto env = [](std::map<std::string, std::string> vars) {
    return [vars](const char* n) -> std::optional<std::string> {
      auto it = vars.find(n);
      if (it == vars.end()) return std::nullopt;
      return it->second;
    };
  };
  EXPECT_EQ(ChooseDataFolder(std::string("/x"), env({{"FLINGER_DIR", "/f"}})), "/x");
  EXPECT_EQ(ChooseDataFolder(std::nullopt, env({{"FLINGER_DIR", "/f"}, {"QUILLNET_DIR", "/q"}})), "/f");
  EXPECT_EQ(ChooseDataFolder(std::nullopt, env({{"QUILLNET_DIR", "/q"}})), "/q/flinger");
  EXPECT_EQ(ChooseDataFolder(std::nullopt, env({{"HOME", "/home/me"}})),
            "/home/me/.local/share/quillnet/flinger");
}

TEST_F(EngineTest, ReceivedSpotIsPokedOnceWhoeverSendsIt) {
  engine.Receive(kSpot + "\r\n");
  engine.Receive(kSpot + "\r\n");
  // The same DX from another spotter at once.
  engine.Receive("DX de G4ABC:     14025.0  DL1XYZ       cq                       1200Z\r\n");
  ASSERT_EQ(out.pokes.size(), 1u);
  EXPECT_EQ(out.pokes[0], kSpot + "\r\n");
  EXPECT_NE(terminal.Text().find(kSpot), std::string::npos);
}

TEST_F(EngineTest, FramedAndPrefixedSpotsArePokedAsPlainSpotLines) {
  engine.Receive(BuildDatagram(kSpot, true, "B0"));
  engine.Receive("junk before DX de W1AW:      7001.0  VK9XX        tnx                      0101Z");
  ASSERT_EQ(out.pokes.size(), 2u);
  EXPECT_EQ(out.pokes[0], kSpot + "\r\n");
  EXPECT_EQ(out.pokes[1], "DX de W1AW:      7001.0  VK9XX        tnx                      0101Z\r\n");
}

TEST_F(EngineTest, CommandsArePokedWithTheirEscape) {
  engine.Receive("+++SH/DX 5\r\n");
  engine.Receive("A1DX 14025 K1ABC test\r\n");
  engine.Receive("+++\r\n");  // nothing to do
  ASSERT_EQ(out.pokes.size(), 2u);
  EXPECT_EQ(out.pokes[0], "+++SH/DX 5\r\n");
  EXPECT_EQ(out.pokes[1], "+++DX 14025 K1ABC test\r\n");
}

TEST_F(EngineTest, AnythingElseIsOnlyShown) {
  std::string noise;
  for (int i = 0; i < 65507; ++i) noise += static_cast<char>((i * 31 + 7) % 256);
  engine.Receive(noise);
  engine.Receive("hello there\r\n");
  engine.Receive("");
  EXPECT_TRUE(out.pokes.empty());
  // The box was emptied before it grew further.
  EXPECT_EQ(terminal.Text(), "hello there\r\n");
}

TEST_F(EngineTest, TextinSpotsLeaveAsDatagramsOnceAndAreNotPokedBack) {
  engine.Boxes().host = " 10.0.0.255 ";
  engine.Boxes().broadcast = true;
  engine.TakeTextin(kSpot + "\r\n" +
                    "DX de G4ABC:     7001.0  VK9XX        tnx                      0101Z\r\n");
  engine.TakeTextin("not a spot\r\n");
  engine.TakeTextin(kSpot + "\r\n");  // a second copy hands the same spot over
  ASSERT_EQ(out.sent.size(), 2u);
  EXPECT_EQ(out.sent[0].host, "10.0.0.255");
  EXPECT_TRUE(out.sent[0].broadcast);
  EXPECT_EQ(out.sent[0].bytes, kSpot + "\r\n");
  EXPECT_NE(terminal.Text().find(">" + kSpot), std::string::npos);
  // Our own broadcast comes back on the local port: not handed to the copies.
  engine.Receive(out.sent[0].bytes);
  EXPECT_TRUE(out.pokes.empty());
}

TEST_F(EngineTest, CtNetFramingFollowsTheBox) {
  engine.Boxes().ctNet = true;
  engine.Boxes().header = "C1";
  engine.TakeTextin(kSpot);
  engine.SendTestSpot();
  ASSERT_EQ(out.sent.size(), 2u);
  EXPECT_EQ(out.sent[0].bytes, BuildDatagram(kSpot, true, "C1"));
  EXPECT_EQ(out.sent[1].bytes, BuildDatagram(TestSpotLine(1), true, "C1"));
}

TEST(IpcCodec, MessagesRoundTripInPieces) {
  IpcMessage m{"quillnet", "dx.example.org", "Textin", kSpot + "\r\n" + std::string(1, '\0') + "x"};
  std::string bytes = EncodeIpcMessage(m) + EncodeIpcMessage({"flinger", "UDP", "Textin", ""});
  EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\0\x68", 4));
  IpcMessageReader r;
  IpcMessage got;
  std::vector<IpcMessage> all;
  for (char c : bytes) {
    r.Feed(std::string(1, c));
    while (r.Next(&got) == IpcMessageReader::Result::kMessage) all.push_back(got);
  }
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].text, m.text);
  EXPECT_EQ(all[0].topic, "dx.example.org");
  EXPECT_EQ(all[1].application, "flinger");
  EXPECT_EQ(all[1].text, "");
  EXPECT_FALSE(r.HoldsPartial());
}

TEST(IpcCodec, BadMessages) {
  IpcMessageReader r;
  IpcMessage m;
  r.Feed(std::string("\0\0\0\x05", 4) + std::string("a\0b\0c", 5) + std::string("\0\0\0\x01", 4) + "x");
  EXPECT_EQ(r.Next(&m), IpcMessageReader::Result::kMalformed);
  EXPECT_EQ(r.Next(&m), IpcMessageReader::Result::kMalformed);
  EXPECT_EQ(r.Next(&m), IpcMessageReader::Result::kNeedMore);
  r.Feed(std::string("\0\x10\0\x01", 4));  // 1 MB + 1
  EXPECT_EQ(r.Next(&m), IpcMessageReader::Result::kTooLong);
  EXPECT_EQ(r.Next(&m), IpcMessageReader::Result::kTooLong);
  IpcMessageReader z;
  z.Feed(std::string(4, '\0'));
  EXPECT_EQ(z.Next(&m), IpcMessageReader::Result::kTooLong);
  EXPECT_TRUE(EncodeIpcMessage({"a", "b", "c", std::string(kMaxIpcMessage, 'x')}).empty());
}

TEST(IpcCodec, Answers) {
  EXPECT_EQ(AnswerFor({"FLINGER", "udp", "textin", "x"}, "flinger", "UDP", "Textin"), "OK\n");
  EXPECT_EQ(AnswerFor({"quillnet", "UDP", "Textin", "x"}, "flinger", "UDP", "Textin"),
            "ERROR unknown-endpoint\n");
  EXPECT_EQ(AnswerFor({"flinger", "UDP", "Textin1", "x"}, "flinger", "UDP", "Textin"),
            "ERROR unknown-item\n");
  std::string app, topic;
  EXPECT_TRUE(ParseEndpointLine("quillnet\tTNC:3", &app, &topic));
  EXPECT_EQ(topic, "TNC:3");
  EXPECT_FALSE(ParseEndpointLine("garbage", &app, &topic));
}

}  // namespace
}  // namespace fl
