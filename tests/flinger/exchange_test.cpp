// The exchange folders: where they are, what the user file becomes, appending
// spot lines and picking up what loggers leave in "outgoing.txt".
#include "core/exchange.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/flinger.h"
#include "fakes/temp_folder.h"

namespace fl {
namespace {

void AppendTo(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::app) << text;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ExchangePaths, BaseIsTheQuillnetFolderAroundTheDataFolder) {
  EXPECT_EQ(ExchangeBase("/home/me/.local/share/quillnet/flinger"), "/home/me/.local/share/quillnet");
  EXPECT_EQ(ExchangeBase("/srv/QuillNet/x/y"), "/srv/QuillNet");
  EXPECT_EQ(ExchangeBase("/home/me/flinger"), "/home/me/flinger");
}

TEST(ExchangePaths, UserFileGetsSpotsTxtWhenItNamesAFolder) {
  std::vector<fs::path> fixed{"/q/QLNEXA/SPOTS.TXT"};
  EXPECT_EQ(NormaliseUserFile("/log/", fixed), "/log/SPOTS.TXT");
  EXPECT_EQ(NormaliseUserFile("C:\\LOG\\", fixed), "C:/LOG/SPOTS.TXT");
  EXPECT_EQ(NormaliseUserFile("/home/me/logger", fixed), "/home/me/logger/SPOTS.TXT");
  EXPECT_EQ(NormaliseUserFile(" /home/me/spots.dat ", fixed), "/home/me/spots.dat");
  EXPECT_EQ(NormaliseUserFile("/q/qlnexa/spots.txt", fixed), "");
  EXPECT_EQ(NormaliseUserFile("/q/QLNEXA", fixed), "");
  EXPECT_EQ(NormaliseUserFile("  ", fixed), "");
}

class ExchangeTest : public ::testing::Test {
 protected:
  qn::fakes::TempFolder dir;
  fs::path data = dir.Path() / "quillnet" / "flinger";
  fs::path base = dir.Path() / "quillnet";
  ExchangeFolders exchange{data};
};

TEST_F(ExchangeTest, SwitchingOnStartsEveryFolderEmpty) {
  AppendTo(base / "QLNEXB" / "SPOTS.TXT", "old\r\n");
  AppendTo(base / "QLNEXB" / "outgoing.txt", "old command\r\n");
  exchange.SetUserFile((dir.Path() / "log").string());
  AppendTo(dir.Path() / "log" / "SPOTS.TXT", "old\r\n");
  exchange.Reset();
  for (const char* f : {"QLNEXA", "QLNEXB", "QLNEXC"}) EXPECT_TRUE(fs::is_directory(base / f)) << f;
  EXPECT_FALSE(fs::exists(base / "QLNEXB" / "SPOTS.TXT"));
  EXPECT_FALSE(fs::exists(base / "QLNEXB" / "outgoing.txt"));
  EXPECT_FALSE(fs::exists(dir.Path() / "log" / "SPOTS.TXT"));
  EXPECT_TRUE(exchange.PollOutgoing().empty());
}

TEST_F(ExchangeTest, SpotLinesAreAppendedAndAFullFileStartsAgain) {
  exchange.SetUserFile((dir.Path() / "log").string() + "/");
  exchange.Reset();
  fs::create_directories(dir.Path() / "log");
  exchange.AppendLine("DX de K1ABC: 1");
  EXPECT_EQ(ReadAll(base / "QLNEXA" / "SPOTS.TXT"), "DX de K1ABC: 1\r\n");
  EXPECT_EQ(ReadAll(dir.Path() / "log" / "SPOTS.TXT"), "DX de K1ABC: 1\r\n");
  AppendTo(base / "QLNEXC" / "SPOTS.TXT", std::string(20000, 'x'));
  exchange.AppendLine("next");
  EXPECT_EQ(ReadAll(base / "QLNEXC" / "SPOTS.TXT"), "next\r\n");
  EXPECT_EQ(ReadAll(base / "QLNEXA" / "SPOTS.TXT"), "DX de K1ABC: 1\r\nnext\r\n");
}

TEST_F(ExchangeTest, OutgoingLinesArePickedUpWholeOnce) {
  exchange.Reset();
  fs::path out = base / "QLNEXA" / "outgoing.txt";
  AppendTo(out, "SH/DX\r\nDX 14025 K1ABC\a cq\r\nhalf");
  EXPECT_EQ(exchange.PollOutgoing(), (std::vector<std::string>{"SH/DX", "DX 14025 K1ABC cq"}));
  EXPECT_TRUE(exchange.PollOutgoing().empty());
  AppendTo(out, " a line\n");
  EXPECT_EQ(exchange.PollOutgoing(), (std::vector<std::string>{"half a line"}));
  // Rewritten shorter: read again from its start.
  fs::remove(out);
  AppendTo(out, "B\r\n");
  EXPECT_EQ(exchange.PollOutgoing(), (std::vector<std::string>{"B"}));
  // Names as another system's logger spells them.
  AppendTo(base / "QLNEXB" / "OUTGOING.TXT", "from b\r\n");
  EXPECT_EQ(exchange.PollOutgoing(), (std::vector<std::string>{"from b"}));
}

TEST_F(ExchangeTest, AMegabyteAtOnceIsWorkedOffInBoundedPolls) {
  exchange.Reset();
  fs::path out = base / "QLNEXA" / "outgoing.txt";
  std::string big;
  int lines = 0;
  while (big.size() < 1024 * 1024) big += "SH/DX " + std::to_string(lines++) + "\r\n";
  AppendTo(out, big);
  std::vector<std::string> got;
  int polls = 0;
  for (; polls < 20 && static_cast<int>(got.size()) < lines; ++polls) {
    auto some = exchange.PollOutgoing();
    EXPECT_LE(some.size() * 8, ExchangeFolders::kReadPerPoll);
    got.insert(got.end(), some.begin(), some.end());
  }
  EXPECT_GT(polls, 1);
  ASSERT_EQ(static_cast<int>(got.size()), lines);
  EXPECT_EQ(got.front(), "SH/DX 0");
  EXPECT_EQ(got.back(), "SH/DX " + std::to_string(lines - 1));
  // A file of bytes without line ends does not grow the buffer for ever.
  AppendTo(out, std::string(3 * ExchangeFolders::kReadPerPoll, 'z'));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(exchange.PollOutgoing().empty());
}

class NullOut : public DatagramOut, public CopyPoker {
 public:
  void SendDatagram(const std::string&, bool, const std::string& bytes) override { sent.push_back(bytes); }
  void PokeAllCopies(const std::string&) override {}
  std::vector<std::string> sent;
};

TEST_F(ExchangeTest, TheEngineSendsLoggerLinesAsUnframedCommandsAndFilesReceivedSpots) {
  Terminal terminal;
  NullOut out;
  Flinger engine(terminal, exchange, out, out);
  exchange.Reset();
  engine.Boxes().ctNet = true;
  AppendTo(base / "QLNEXC" / "outgoing.txt", "SH/DX\r\n");
  engine.PollExchange();
  EXPECT_TRUE(out.sent.empty());  // file exchange off
  engine.Boxes().fileExchange = true;
  engine.PollExchange();
  EXPECT_EQ(out.sent, std::vector<std::string>{"+++SH/DX\r\n"});
  engine.Receive("DX de K1ABC:     14025.0  DL1XYZ       cq                       1200Z\r\n");
  engine.Receive("random words\r\n");
  EXPECT_EQ(ReadAll(base / "QLNEXA" / "SPOTS.TXT"),
            "DX de K1ABC:     14025.0  DL1XYZ       cq                       1200Z\r\n");
}

}  // namespace
}  // namespace fl
