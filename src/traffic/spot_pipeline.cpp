#include "traffic/spot_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "core/instance.h"
#include "core/text.h"
#include "traffic/classifier.h"
#include "traffic/spot_line.h"

namespace qn {

namespace {

constexpr const char* kAlertsFile = "ARCHIVE\\alerts.txt";
constexpr const char* kSpotsFile = "spots.txt";
constexpr std::size_t kKeyWidth = 69;
constexpr std::int64_t kDayMs = 86400000;
constexpr std::int64_t kAgeWindowMs = 900000;

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string RTrimSpaces(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

// The text after the spotter colon of the first kKeyWidth characters, with a
// short final word (a time or locator of the node's own) left out.
std::string PrepareKey(std::string line) {
  std::size_t dot = line.find('.');
  if (dot != std::string::npos && dot + 2 < line.size() && line[dot + 1] == ' ' && line[dot + 2] != ' ')
    line.insert(dot + 1, 1, ' ');
  std::string key = RTrimSpaces(line.substr(0, kKeyWidth));
  if (key.size() > 39) {
    std::size_t space = key.rfind(' ');
    if (space != std::string::npos && space + 4 >= key.size()) {
      bool word = true;
      for (std::size_t i = space + 1; i < key.size(); ++i) {
        bool lastStar = i + 1 == key.size() && key[i] == '*';
        if (!IsAlnum(key[i]) && !lastStar) word = false;
      }
      if (word) key.resize(space);
    }
  }
  std::size_t colon = ParseSpotFields(key).colon;
  key = key.substr(colon);
  key.erase(0, key.find_first_not_of(' '));
  return key;
}

// 1-based position of needle in text at or after index from; 0 when absent.
// The keys start with a frequency, and digits are everywhere in a spot window,
// so a first-character scan stops every few characters; skipping by the key's
// last character reads only a fraction of the text.
std::size_t Find(std::string_view text, std::size_t from, std::string_view needle) {
  if (needle.empty() || from > text.size()) return 0;
  std::string_view hay = text.substr(from);
  std::string_view::const_iterator at;
  if (needle.size() < 8) {
    std::size_t p = hay.find(needle);
    return p == std::string_view::npos ? 0 : from + p + 1;
  }
  at = std::search(hay.begin(), hay.end(), std::boyer_moore_horspool_searcher(needle.begin(), needle.end()));
  return at == hay.end() ? 0 : from + static_cast<std::size_t>(at - hay.begin()) + 1;
}

std::size_t SearchVariant(std::string_view text, std::size_t from, std::string variant) {
  if (std::size_t at = Find(text, from, variant)) return at;
  std::size_t marker = variant.find("!*");
  if (marker == std::string::npos) {
    std::size_t space = variant.find(' ');
    if (space == std::string::npos) return 0;
    // Only the first 36 characters after the frequency take part: nodes cut
    // long comments at different widths.
    std::int64_t e = static_cast<std::int64_t>(variant.size()) - static_cast<std::int64_t>(space + 1) - 14;
    if (e < 23) return 0;
    variant.resize(variant.size() - static_cast<std::size_t>(e - 22));
    return Find(text, from, variant);
  }
  return Find(text, from, RTrimSpaces(variant.substr(0, marker)));
}

std::array<std::string, 3> Variants(const std::string& key) {
  std::string round = key, angle = key;
  for (char& c : round)
    if (c == '<') c = '(';
  for (char& c : angle)
    if (c == '(') c = '<';
  return {key, round, angle};
}

}  // namespace

DuplicateKeys MakeDuplicateKeys(std::string_view line) {
  DuplicateKeys k;
  k.key = PrepareKey(std::string(line));
  // The decimal point comes after the spotter (it was cut off above), so any
  // point of the key's frequency counts, whatever the number's length.
  std::size_t dot = k.key.find('.');
  if (dot != std::string::npos) {
    k.alternative = k.key;
    if (dot + 1 < k.alternative.size() && k.alternative[dot + 1] >= '0' && k.alternative[dot + 1] <= '9')
      k.alternative.erase(dot + 1, 1);
    else
      k.alternative.insert(dot + 1, 1, '0');
  }
  return k;
}

DuplicatePositions FindDuplicate(std::string_view text, const DuplicateKeys& keys) {
  std::size_t from = text.size() > kDuplicateSearchSpan + 1 ? text.size() - kDuplicateSearchSpan - 1 : 0;
  DuplicatePositions pos;
  for (const std::string* key : {&keys.key, &keys.alternative}) {
    if (key->empty()) continue;
    auto variants = Variants(*key);
    for (std::size_t i = 0; i < 3; ++i) {
      // Without brackets the variants are one and the same key: search it once.
      if (i > 0 && variants[i] == variants[0]) {
        pos.at[i] = pos.at[0];
      } else if (i > 1 && variants[i] == variants[1]) {
        pos.at[i] = pos.at[1];
      } else {
        pos.at[i] = SearchVariant(text, from, variants[i]);
      }
    }
    if (pos.Any()) break;
  }
  return pos;
}

bool WithinSpotAgeWindow(std::string_view time, double utcSeconds) {
  std::int64_t hours = static_cast<std::int64_t>(Val(Left(time, 2))) % 24;
  std::int64_t minutes = static_cast<std::int64_t>(Val(Mid(time, 3, 2))) % 60;
  if (hours < 0) hours += 24;
  if (minutes < 0) minutes += 60;
  // Whole milliseconds, so a spot exactly 15 minutes old is not lost to rounding.
  std::int64_t t = (hours * 3600 + minutes * 60) * 1000;
  std::int64_t n = std::llround(utcSeconds * 1000) % kDayMs;
  if (n < 0) n += kDayMs;
  std::int64_t hi = (n + kAgeWindowMs) % kDayMs;
  std::int64_t lo = n - kAgeWindowMs;
  if (lo < 0) lo += kDayMs;
  if (hi < lo) hi += kDayMs;
  return (lo <= t && t <= hi) || (lo <= t + kDayMs && t + kDayMs <= hi);
}

SpotPipeline::SpotPipeline(Instance& app) : app_(app), talk_(app, speech_) {}

void SpotPipeline::AnnouncementShown() { speech_.QueueSoundEvent(2, Gate()); }

SpeechQueue::SoundGate SpotPipeline::Gate() const {
  return {app_.Options().sounds, app_.State().soundAvailable, app_.Settings().silenceOnTalksAndAnns};
}

bool SpotPipeline::IgnoringFirstWeb() const {
  return hooks_.ignoringFirstWebRetrieval && hooks_.ignoringFirstWebRetrieval();
}

DuplicatePositions SpotPipeline::IsDuplicateSpot(std::string_view line) const {
  return FindDuplicate(app_.Window(WindowId::Spots).Text(), MakeDuplicateKeys(line));
}

bool SpotPipeline::InOldSpotWindow(std::string_view time) const {
  return WithinSpotAgeWindow(time, app_.UtcNow().SecondsSinceMidnight());
}

void SpotPipeline::SetMinimisedCaption() {
  FrameState& frame = app_.Frame();
  const std::string& old = frame.Title();
  std::size_t name = old.find("Quillnet");
  frame.SetTitle(lastAccepted_.dxCall + "," + lastAccepted_.frequency + ">" +
                 (name == std::string::npos ? old : old.substr(name)));
}

void SpotPipeline::StoreInRobotRing(const SpotRecord& spot) {
  robotRing_[static_cast<std::size_t>(robotNext_)] =
      Trim(spot.spotter + ": " + spot.frequency + " " + spot.dxCall + " " + spot.comment) +
      app_.State().newline;
  robotNext_ = (robotNext_ + 1) % 10;
}

void SpotPipeline::WriteDxHunter(const std::string& line) {
  DataFolder logFolder(app_.Settings().logFolder);
  std::string record = "\a" + line;
  // The reading program may hold the file for a moment: try again a little
  // later, letting the other events run meanwhile.
  for (int attempt = 0; attempt < kSpotsFileAttempts; ++attempt) {
    if (logFolder.Append(kSpotsFile, record)) return;
    if (attempt + 1 < kSpotsFileAttempts) app_.Loop().WaitUntil(kSpotsFileRetryMs, [] { return false; });
  }
  app_.Options().linkToDxHunter = false;
  app_.Frame().SetChecked("mnulink", false);
}

void SpotPipeline::ProcessSpot(const std::string& input, SpotSource source) {
  Classifier* classifier = classifier_;
  if (classifier) classifier->ClearContinuation();
  LastParsedSpot& lastParsed = classifier ? classifier->LastParsed() : ownLastParsed_;

  std::optional<SpotRecord> normalised = NormaliseSpotLine(input, source, &lastParsed);
  if (!normalised) return;
  SpotRecord& spot = *normalised;
  const std::string& line = spot.line;

  if (IsDuplicateSpot(line).Any()) return;
  AppSettings& settings = app_.Settings();
  if (settings.rejectOldSpots && !InOldSpotWindow(spot.time)) return;
  if (hooks_.passesFrequencyAndWords && !hooks_.passesFrequencyAndWords(spot.frequency, line)) return;
  if (hooks_.passesArea && !hooks_.passesArea(spot.spotter)) return;

  lastAccepted_ = lastParsed;

  int alert = 0;
  if (hooks_.alertsActive && hooks_.alertsActive() && hooks_.matchCallAlert) {
    if (hooks_.matchCallAlert(lastAccepted_.dxCall))
      alert = 1;
    else if (!spot.spotter.empty() && hooks_.matchCallAlert(spot.spotter))
      alert = 2;
  }
  spot.alert = alert;

  if (app_.Frame().Minimised()) SetMinimisedCaption();

  const PipelineHooks::Site site = hooks_.site ? hooks_.site() : PipelineHooks::Site{};
  std::string customTitle = UCase(Trim(site.customTitle));
  bool bridgeOn = site.bridge;
  if (bridgeOn && StartsWith(customTitle, "DXROBOT")) StoreInRobotRing(spot);
  accepted.Fire(spot, source);

  std::string voiceCall = lastAccepted_.dxCall;
  if (alert == 2) {
    alert = 1;
    lastAccepted_.dxCall = spot.spotter;
    voiceCall = spot.spotter;
  }

  std::string shown = line;
  if (alert) {
    std::string bare(WithoutLineEnd(line));
    shown = bare + "<\r\n";
    if (!secondCopy_) app_.Folder().Append(kAlertsFile, bare + "\r\n");
  }
  app_.Append(WindowId::Spots, shown);
  lastSpotLine_ = line;

  if (StartsWith(customTitle, "RELAY") && source == SpotSource::Link && StartsWith(line, "DX de "))
    relayToMain.Fire(line);

  // The capture file gets the spot as the spot window shows it.
  if (app_.CaptureFile().On()) app_.CaptureFile().WriteSpot(shown);

  if (source != SpotSource::Link && linkOutput.Count() > 0) {
    bool out = app_.State().sessionKind == SessionKind::Web ? settings.webDdeOut && !IgnoringFirstWeb()
                                                            : site.linkOut;
    if (out) linkOutput.Fire(line);
  }

  if (app_.Options().linkToDxHunter && !IgnoringFirstWeb() && !secondCopy_) WriteDxHunter(line);

  speech_.QueueSoundEvent(3, Gate());
  if (app_.State().soundAvailable && (app_.Options().voiceSpell || alert))
    speech_.QueueSpot(voiceCall, lastAccepted_.frequency, settings.truncateFrequency, settings.doubleSpell);
}

}  // namespace qn
