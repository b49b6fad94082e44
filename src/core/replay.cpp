#include "core/replay.h"

#include <algorithm>

#include "core/instance.h"
#include "core/text.h"

namespace qn {

Replay::Replay(Instance& app)
    : app_(app), rng_(static_cast<std::mt19937::result_type>(app.ClockPort().TickMs())) {
  random = [this] { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); };
}

bool Replay::Start(int firstTickMs) {
  auto text = app_.Folder().Read("ARCHIVE\\DEMO.TXT");
  if (!text) return false;
  lines_ = SplitLines(*text);
  if (lines_.empty()) return false;
  longestPause_ = ValInt32(Trim(lines_[0]));
  if (longestPause_ <= 0) longestPause_ = 20;
  next_ = 1;
  timer_ = app_.Loop().CreateTimer(std::max(firstTickMs, 1), true, [this] { Tick(); });
  return true;
}

std::string Replay::StampSpotTime(std::string line, const std::string& hhnn) {
  std::size_t z = InStr(line, "Z", 74);
  if (z >= 5) line.replace(z - 5, 4, hhnn.substr(0, 4));
  return line;
}

void Replay::Tick() {
  timer_->SetEnabled(false);
  // A file of the pause line alone has nothing to play; wait and look again.
  if (lines_.size() > 1) {
    if (next_ >= lines_.size()) next_ = 1;
    std::string line = lines_[next_++];
    const bool spot = StartsWith(line, "DX de ");
    if (spot) line = StampSpotTime(line, app_.UtcNow().Format("hhnn"));
    app_.Append(WindowId::Terminal, line + "\r\n");
    app_.CaptureFile().WriteShown(line + "\r\n");
    if (spot && onSpotLine) onSpotLine(line);
  }
  int pauseSeconds = static_cast<int>(longestPause_ * random()) + 1;
  timer_->SetInterval(pauseSeconds * 1000);
  timer_->SetEnabled(true);
  if (onAfterLine) onAfterLine();
}

}  // namespace qn
