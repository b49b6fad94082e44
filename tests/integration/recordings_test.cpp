// Every recording the speech player can ask for is shipped, and each is a
// plain wave file of the rate the player times it by (11 bytes a millisecond).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "sound/speech_player.h"

namespace qn {
namespace {

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = v * 256 + static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// Checks the RIFF header, the fmt chunk and a non-empty data chunk.
void ExpectElevenKilohertzEightBitMono(const std::string& name) {
  std::ifstream in(std::string(QUILLNET_SOURCE_DIR) + "/data/SOUNDS/" + name, std::ios::binary);
  ASSERT_TRUE(in) << name << " is missing";
  std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(b.size(), 44u) << name;
  EXPECT_EQ(b.substr(0, 4), "RIFF") << name;
  EXPECT_EQ(b.substr(8, 4), "WAVE") << name;
  bool fmt = false;
  std::uint32_t data = 0;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    std::string id = b.substr(at, 4);
    std::uint32_t size = Le(b, at + 4, 4);
    if (id == "fmt ") {
      fmt = true;
      EXPECT_EQ(Le(b, at + 8, 2), 1u) << name << ": PCM";
      EXPECT_EQ(Le(b, at + 10, 2), 1u) << name << ": mono";
      EXPECT_EQ(Le(b, at + 12, 4), 11025u) << name << ": rate";
      EXPECT_EQ(Le(b, at + 22, 2), 8u) << name << ": bits";
    } else if (id == "data") {
      data = size;
      EXPECT_LE(at + 8 + size, b.size()) << name << ": data runs past the end";
    }
    at += 8 + size + (size & 1);
  }
  EXPECT_TRUE(fmt) << name;
  // At least a tenth of a second, and short enough for brisk spelling.
  EXPECT_GE(data, 1100u) << name;
  EXPECT_LE(data, 11025u * 2) << name;
}

TEST(Recordings, EveryElementHasItsShippedRecording) {
  std::string elements = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.?/\\";
  elements += {'\x01', '\x02', '\x03', '\x04', '\x06'};
  for (char c : elements) {
    auto file = ElementFile(c, "ALERT.WAV");
    ASSERT_TRUE(file) << int(c);
    ExpectElevenKilohertzEightBitMono(*file);
  }
}

}  // namespace
}  // namespace qn
