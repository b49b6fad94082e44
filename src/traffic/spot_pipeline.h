// Owns what happens to every spot line after classification: normalising, the
// duplicate and age tests, filters and alerts (through hooks), the spot window,
// the log files and the speech queue. Hands accepted spots on to whoever
// subscribes (the bridge, the serial port, the links).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/event_list.h"
#include "sound/speech_queue.h"
#include "traffic/spot_record.h"
#include "traffic/talk_handling.h"

namespace qn {

class Classifier;
class Instance;

// Pieces of other subsystems. An empty filter or alert hook lets the spot pass /
// matches nothing; an empty hand-over hook drops what it would have received.
struct PipelineHooks {
  std::function<bool(const std::string& frequency, const std::string& line)> passesFrequencyAndWords;
  std::function<bool(const std::string& spotter)> passesArea;
  // Alert match on one call (raising the alert sound is part of the match).
  std::function<bool(const std::string& call)> matchCallAlert;
  // Alerts switched on and a non-empty alert list.
  std::function<bool()> alertsActive;
  // The first web retrieval is being ignored.
  std::function<bool()> ignoringFirstWebRetrieval;
  // What the connected site asks of accepted spots; none outside a telnet session.
  struct Site {
    std::string customTitle;  // "DXROBOT...", "RELAY..."
    bool bridge = false;      // bridging from or to the remote side
    bool linkOut = false;     // spots go out on the local links
  };
  std::function<Site()> site;
};

// Where IsDuplicateSpot found the three key variants (1-based in the spot
// window's text; 0: not found).
struct DuplicatePositions {
  std::array<std::size_t, 3> at{};
  bool Any() const { return at[0] > 0 || at[1] > 0 || at[2] > 0; }
};

inline constexpr std::size_t kDuplicateSearchSpan = 10000;
inline constexpr int kSpotsFileAttempts = 10;
inline constexpr int kSpotsFileRetryMs = 10;

// The search keys of a spot line: main key, and the alternative one with the
// frequency's decimal written the other way (empty when there is none).
struct DuplicateKeys {
  std::string key;
  std::string alternative;
};
DuplicateKeys MakeDuplicateKeys(std::string_view line);
// Searches the key variants in text from 1-based position start on.
DuplicatePositions FindDuplicate(std::string_view text, const DuplicateKeys& keys);

// Whether a spot stamped "hhmm" lies within 15 minutes of utcSeconds (since midnight).
bool WithinSpotAgeWindow(std::string_view time, double utcSeconds);

class SpotPipeline {
 public:
  explicit SpotPipeline(Instance& app);
  // The classifier whose last parsed spot the pipeline shares (none: its own).
  void SetClassifier(Classifier* classifier) { classifier_ = classifier; }
  SpotPipeline(const SpotPipeline&) = delete;
  SpotPipeline& operator=(const SpotPipeline&) = delete;

  void ProcessSpot(const std::string& line, SpotSource source);
  // An announcement was shown: its sound event.
  void AnnouncementShown();

  // Every accepted spot, before it is shown (alert already decided): the
  // bridge to the serial port and other sessions listens here.
  EventList<const SpotRecord&, SpotSource> accepted;
  // A link spot to relay to the main session (custom title "RELAY...").
  EventList<const std::string&> relayToMain;
  // Spot lines for the external-program links (not those that came from them).
  EventList<const std::string&> linkOutput;
  DuplicatePositions IsDuplicateSpot(std::string_view line) const;
  // Reject old DX Spots: the spot's time against the present UTC time.
  bool InOldSpotWindow(std::string_view time) const;

  PipelineHooks& Hooks() { return hooks_; }
  SpeechQueue& Speech() { return speech_; }
  TalkHandling& Talk() { return talk_; }

  // This copy was started while another one was running: no shared log files.
  void SetSecondCopy(bool on) { secondCopy_ = on; }
  bool SecondCopy() const { return secondCopy_; }

  const LastParsedSpot& LastAccepted() const { return lastAccepted_; }
  const std::string& LastSpotLine() const { return lastSpotLine_; }
  const std::array<std::string, 10>& RobotRing() const { return robotRing_; }
  int RobotNext() const { return robotNext_; }

 private:
  SpeechQueue::SoundGate Gate() const;
  bool IgnoringFirstWeb() const;
  void SetMinimisedCaption();
  void StoreInRobotRing(const SpotRecord& spot);
  void WriteDxHunter(const std::string& line);

  Instance& app_;
  PipelineHooks hooks_;
  SpeechQueue speech_;
  TalkHandling talk_;
  LastParsedSpot ownLastParsed_;
  Classifier* classifier_ = nullptr;
  LastParsedSpot lastAccepted_;
  std::string lastSpotLine_;
  std::array<std::string, 10> robotRing_;
  int robotNext_ = 0;
  bool secondCopy_ = false;
};

}  // namespace qn
