#include "sound/speech_queue.h"

namespace qn {

bool SpeechQueue::QueueSoundEvent(int code, const SoundGate& gate) {
  if (code < 1 || code > 3) return false;
  if ((code == 1 || code == 2) && gate.silenceOnTalksAndAnns) return false;
  if (!gate.sounds || !gate.soundDevice) return false;
  if (!text_.empty()) text_ += kEndOfEntry;
  text_ += static_cast<char>(code);
  return true;
}

void SpeechQueue::BeginEntry() { text_ += text_.empty() ? kStartMark : kEndOfEntry; }

void SpeechQueue::Cap() {
  if (text_.size() <= kCap) return;
  std::size_t found = text_.find(kEndOfEntry, kCutFrom - 1);
  if (found == std::string::npos) return;
  if (speaking_) {
    // The entry being spoken runs up to the first entry end; it stays whole.
    std::size_t first = text_.find(kEndOfEntry);
    if (first == found) return;
    text_.erase(first + 1, found - first);
  } else {
    // The start mark is what tells the player a new transmission begins; keep it.
    bool marked = text_[0] == kStartMark;
    text_.erase(0, found + 1);
    if (marked) text_.insert(text_.begin(), kStartMark);
  }
}

void SpeechQueue::QueueSpot(std::string_view call, std::string_view frequency, bool truncateFrequency,
                            bool doubleSpell) {
  std::string freq = truncateFrequency ? TruncatedFrequency(frequency) : std::string(frequency);
  Cap();
  BeginEntry();
  text_.append(call).append(1, ' ').append(freq);
  if (doubleSpell) {
    text_.append(1, ' ').append(1, kSpotSound).append(1, ' ');
    text_.append(call).append(1, ' ').append(freq);
  }
}

void SpeechQueue::QueueAlert(int repetitions) {
  BeginEntry();
  if (repetitions > 0) text_.append(static_cast<std::size_t>(repetitions), kAlertSound);
  text_ += ' ';
}

std::string TruncatedFrequency(std::string_view frequency) {
  std::string_view whole = frequency.substr(0, frequency.find('.'));
  if (whole.size() >= 4) return std::string(whole.substr(0, whole.size() - 3));
  return "0";
}

}  // namespace qn
