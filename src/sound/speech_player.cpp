#include "sound/speech_player.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "core/instance.h"
#include "core/text.h"
#include "platform/sound_output.h"
#include "sound/speech_queue.h"

namespace qn {

namespace {

// Playing everything queued for a test button never takes longer than this.
constexpr int kPlayToEndLimitMs = 10 * 60 * 1000;

bool TwentyTwoKilohertz(const std::string& folder) {
  std::string f = folder;
  while (!f.empty() && (f.back() == '/' || f.back() == '\\')) f.pop_back();
  return !f.empty() && (f.back() == 'F' || f.back() == 'f');
}

}  // namespace

std::optional<std::string> ElementFile(char element, const std::string& alertSound) {
  switch (element) {
    case SpeechQueue::kTalkSound:
      return "talk.wav";
    case SpeechQueue::kAnnouncementSound:
      return "ann.wav";
    case SpeechQueue::kSpotSound:
      return "spot.wav";
    case SpeechQueue::kIdSound:
      return "id.wav";
    case SpeechQueue::kAlertSound:
      return alertSound;
    case '.':
    case '?':
    case ',':
      return "pt.wav";
    case '/':
    case '\\':
      return "st.wav";
    default:
      break;
  }
  if ((element >= '0' && element <= '9') || (element >= 'a' && element <= 'z'))
    return std::string(1, element) + ".wav";
  if (element >= 'A' && element <= 'Z')
    return std::string(1, static_cast<char>(element - 'A' + 'a')) + ".wav";
  return std::nullopt;
}

std::uint16_t ChannelVolume(int volume) {
  if (volume <= 0) return 0;
  return static_cast<std::uint16_t>(std::min(2 * volume + 1, 65535));
}

SpeechPlayer::SpeechPlayer(Instance& app, SpeechQueue& queue)
    : app_(app), queue_(queue), ptt_(app.Loop(), app.PttPort()) {
  timer_ = app_.Loop().CreateTimer(kFirstIntervalMs, false, [this] { SpeechTimerTick(); });
}

SpeechPlayer::~SpeechPlayer() {
  // A parallel port keeps its byte after the program has gone: never leave
  // the transmitter on the air. Nobody is told any more at this point.
  ptt_.onChanged = nullptr;
  ptt_.Release();
}

void SpeechPlayer::StartSpeaking() {
  // A tick waiting out the PTT lead re-arms the timer itself when it is done.
  if (ticking_ || queue_.Speaking() || queue_.Empty() || timer_->Enabled()) return;
  timer_->SetEnabled(true);
}

int SpeechPlayer::AudioAllowed() const {
  if (app_.IsProgramInFront()) return 1;
  if (app_.Registry().AnotherInFront() || app_.State().otherCopyAtStart) return 0;
  return 2;
}

void SpeechPlayer::SetVolume(int volume) {
  SoundOutput* out = app_.Sound();
  if (!out || !app_.State().soundAvailable) return;
  std::uint16_t v = ChannelVolume(volume);
  out->SetVolume(v, v);
}

void SpeechPlayer::RestartIdInterval() { lastIdSeconds_ = app_.ClockPort().LocalNow().SecondsSinceMidnight(); }

int SpeechPlayer::SpeedAdjust(int ms) const {
  // A timer of 0 ms would never fire again; a high speed only overlaps the sounds.
  return std::max(1, ms - kSpeedStepMs * app_.Settings().speedFactor);
}

void SpeechPlayer::RunEndOfEntry() {
  if (onEndOfEntry) onEndOfEntry();
}

void SpeechPlayer::IdCheck() {
  const AppSettings& s = app_.Settings();
  if (s.idIntervalMinutes <= 0) return;
  double now = app_.ClockPort().LocalNow().SecondsSinceMidnight();
  if (now - lastIdSeconds_ > s.idIntervalMinutes * 60.0 || now < lastIdSeconds_) {
    std::string id(1, SpeechQueue::kIdSound);
    id += s.idString;
    id += ' ';
    queue_.Text().insert(0, id);
  }
}

void SpeechPlayer::SpeechTimerTick() {
  timer_->SetEnabled(false);
  if (ticking_) return;
  ticking_ = true;
  std::string& q = queue_.Text();
  if (!q.empty() && q[0] == SpeechQueue::kStartMark) {
    queue_.SetSpeaking(true);
    q.erase(0, 1);
    IdCheck();
  }
  if (q.empty()) IdCheck();
  if (q.empty()) {
    ptt_.Release();
    RunEndOfEntry();
    queue_.SetSpeaking(false);
  } else if (PlayOneElement()) {
    timer_->SetEnabled(true);
  }
  ticking_ = false;
}

bool SpeechPlayer::PlayOneElement() {
  const AppSettings& s = app_.Settings();
  std::string& q = queue_.Text();
  const int allowed = AudioAllowed();
  if (allowed != 0) {
    if (s.pttOnLpt1 && !ptt_.Keyed()) ptt_.Key();
    if (s.alertLptSwitch && q.find(SpeechQueue::kAlertSound) != std::string::npos && !ptt_.Keyed())
      ptt_.Key();
    // The lead let other events run; one of them may have emptied the queue.
    if (q.empty()) return true;
  } else {
    // Left speaking, nothing would start the player again; the transmission ends here.
    queue_.Clear();
    ptt_.Release();
    queue_.SetSpeaking(false);
    return false;
  }

  const char element = q[0];
  q.erase(0, 1);
  if (element == ' ' || element == SpeechQueue::kEndOfEntry) {
    if (element == SpeechQueue::kEndOfEntry) {
      RunEndOfEntry();
      if (s.idStringSlash && s.pttOnLpt1) ptt_.Release();
    }
    timer_->SetInterval(SpeedAdjust(kPauseMs));
    return true;
  }
  std::optional<std::string> name = ElementFile(element, s.alertSoundFile);
  if (!name) return true;
  if (element == SpeechQueue::kIdSound) lastIdSeconds_ = app_.ClockPort().LocalNow().SecondsSinceMidnight();

  const std::string& folder = app_.State().soundFolder;
  std::optional<std::filesystem::path> file = FindRecording(*name);
  std::uintmax_t bytes = 0;
  if (file) {
    std::error_code ec;
    bytes = std::filesystem::file_size(*file, ec);
    if (ec) bytes = 0;
  }
  const double bytesPerSecond = TwentyTwoKilohertz(folder) ? 22000.0 : 11000.0;
  const int playMs = static_cast<int>(std::lround(static_cast<double>(bytes) * 1000.0 / bytesPerSecond));
  if (file && app_.Sound()) app_.Sound()->PlayAsync(*file);
  timer_->SetInterval(SpeedAdjust(playMs + kGapMs));
  return true;
}

std::optional<std::filesystem::path> SpeechPlayer::FindRecording(const std::string& name) {
  const std::string& folder = app_.State().soundFolder;
  std::string key = LCase(name);
  auto it = recordings_.find(key);
  if (folder == cachedFolder_ && it != recordings_.end()) return it->second;
  // A miss may be a file added since: look at the folder again.
  cachedFolder_ = folder;
  recordings_.clear();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec)) recordings_[LCase(entry.path().filename().string())] = entry.path();
  }
  it = recordings_.find(key);
  if (it == recordings_.end()) return std::nullopt;
  return it->second;
}

void SpeechPlayer::RepeatLastSpot() {
  if (!lastSpot || !app_.State().soundAvailable) return;
  const LastSpot last = lastSpot();
  if (last.call.empty()) return;
  std::string frequency =
      app_.Settings().truncateFrequency ? TruncatedFrequency(last.frequency) : last.frequency;
  std::string& q = queue_.Text();
  q += q.empty() ? SpeechQueue::kStartMark : SpeechQueue::kEndOfEntry;
  q += last.call + " " + frequency;
  StartSpeaking();
}

bool SpeechPlayer::SkipSpokenEntry() {
  std::string& q = queue_.Text();
  if (q.empty()) return false;
  std::size_t end = q.find(SpeechQueue::kEndOfEntry);
  if (end == std::string::npos) {
    q.clear();
    ptt_.Release();
  } else {
    bool spotSound = end > 0 && q[end - 1] == SpeechQueue::kSpotSound;
    q.erase(0, end + 1);
    if (spotSound) q.insert(q.begin(), SpeechQueue::kSpotSound);
  }
  RunEndOfEntry();
  timer_->SetEnabled(true);
  return true;
}

void SpeechPlayer::Silence() {
  queue_.Clear();
  if (queue_.Speaking() || ptt_.Keyed()) timer_->SetEnabled(true);
}

void SpeechPlayer::PlayToEnd() {
  StartSpeaking();
  app_.Loop().WaitUntil(kPlayToEndLimitMs,
                        [this] { return queue_.Empty() && !timer_->Enabled() && !ticking_; });
}

}  // namespace qn
