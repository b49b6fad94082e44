#include "sound/speech_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace qn {
namespace {

constexpr char kEnd = SpeechQueue::kEndOfEntry;
constexpr char kMark = SpeechQueue::kStartMark;

TEST(SpeechQueueTest, SoundEventsNeedSoundsAndADeviceAndRespectSilence) {
  SpeechQueue q;
  EXPECT_FALSE(q.QueueSoundEvent(3, {true, false, false}));  // no device
  EXPECT_FALSE(q.QueueSoundEvent(3, {false, true, false}));  // sounds off
  EXPECT_FALSE(q.QueueSoundEvent(1, {true, true, true}));    // talks silenced
  EXPECT_FALSE(q.QueueSoundEvent(2, {true, true, true}));
  EXPECT_TRUE(q.Empty());
  EXPECT_TRUE(q.QueueSoundEvent(3, {true, true, true}));  // spot sound is never silenced
  EXPECT_TRUE(q.QueueSoundEvent(1, {true, true, false}));
  EXPECT_EQ(q.Text(), std::string("\x03") + kEnd + "\x01");
  EXPECT_FALSE(q.QueueSoundEvent(7, {true, true, false}));
}

TEST(SpeechQueueTest, EntriesStartWithTheMarkOrFollowAnEntryEnd) {
  SpeechQueue q;
  q.QueueSpot("DL1XYZ", "14025.0", false, false);
  q.QueueAlert(3);
  q.QueueSpot("K1ABC", "7005.5", false, true);
  EXPECT_EQ(q.Text(), std::string(1, kMark) + "DL1XYZ 14025.0" + kEnd + "\x06\x06\x06 " + kEnd +
                          "K1ABC 7005.5 \x03 K1ABC 7005.5");
  SpeechQueue fresh;
  fresh.QueueAlert(0);
  EXPECT_EQ(fresh.Text(), std::string(1, kMark) + " ");
}

TEST(SpeechQueueTest, TruncatedFrequencyIsWholeMegahertz) {
  EXPECT_EQ(TruncatedFrequency("14025.0"), "14");
  EXPECT_EQ(TruncatedFrequency("144300"), "144");
  EXPECT_EQ(TruncatedFrequency("1825.5"), "1");
  EXPECT_EQ(TruncatedFrequency("999.9"), "0");
  EXPECT_EQ(TruncatedFrequency(""), "0");
  SpeechQueue q;
  q.QueueSpot("DL1XYZ", "14025.0", true, false);
  EXPECT_EQ(q.Text(), std::string(1, kMark) + "DL1XYZ 14");
}

// 100 entries of 20 characters each: well past the cap.
SpeechQueue Flooded(bool speaking) {
  SpeechQueue q;
  q.SetSpeaking(speaking);
  for (int i = 0; i < 100; ++i) {
    std::string call = "C" + std::to_string(1000 + i);
    q.Text() += q.Text().empty() ? kMark : kEnd;
    q.Text() += call + " 14025.0 xxxxxxx";
  }
  return q;
}

TEST(SpeechQueueTest, CapWhileIdleDropsOldEntriesButKeepsTheStartMark) {
  SpeechQueue q = Flooded(false);
  q.QueueSpot("NEW1", "7000.0", false, false);
  const std::string& t = q.Text();
  ASSERT_LE(t.size(), SpeechQueue::kCap);
  EXPECT_EQ(t[0], kMark);
  EXPECT_EQ(t.find("C1000"), std::string::npos);
  EXPECT_NE(t.find("C1099"), std::string::npos);
  // What follows the mark is a whole entry.
  EXPECT_EQ(t[1], 'C');
  EXPECT_EQ(t.substr(t.size() - 12), kEnd + std::string("NEW1 7000.0"));
}

TEST(SpeechQueueTest, CapWhileSpeakingKeepsTheEntryBeingSpoken) {
  SpeechQueue q = Flooded(true);
  q.Text().erase(0, 1);  // the player took the mark off
  q.QueueSpot("NEW1", "7000.0", false, false);
  const std::string& t = q.Text();
  EXPECT_LE(t.size(), SpeechQueue::kCap);
  EXPECT_EQ(t.substr(0, 22), "C1000 14025.0 xxxxxxx" + std::string(1, kEnd));
  EXPECT_EQ(t.find("C1001"), std::string::npos);
  EXPECT_NE(t.find("C1099"), std::string::npos);
  EXPECT_EQ(t.find(std::string(2, kEnd)), std::string::npos);
}

TEST(SpeechQueueTest, NoCapWithoutAnEntryEndPastTheCutPoint) {
  SpeechQueue q;
  q.Text() = std::string(1, kMark) + std::string(1300, 'A');
  q.QueueSpot("X", "1", false, false);
  EXPECT_EQ(q.Text().size(), 1301u + 4u);
}

}  // namespace
}  // namespace qn
