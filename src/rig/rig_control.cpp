#include "rig/rig_control.h"

#include "core/frame_state.h"
#include "core/text_window.h"
#include "platform/event_loop.h"
#include "platform/prompter.h"
#include "rig/band_plan.h"
#include "rig/spot_tuning.h"

namespace qn {

namespace {

// The line of the text that holds a 0-based offset, without its line end.
std::string_view LineAt(std::string_view text, std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  std::size_t start = offset == 0 ? 0 : text.rfind('\n', offset - 1);
  start = start == std::string_view::npos || offset == 0 ? 0 : start + 1;
  std::size_t end = text.find('\n', offset);
  if (end == std::string_view::npos) end = text.size();
  return text.substr(start, end - start);
}

std::string ModeText(const std::string& mode) { return mode.empty() ? std::string() : " " + mode; }

}  // namespace

std::string DescribeRig(const RigSettings& s) {
  switch (s.use) {
    case RigAccess::Rigctld:
      return "rigctld at " + s.host + ":" + std::to_string(s.port);
    case RigAccess::Hamlib:
      return "Hamlib model " + std::to_string(s.model) + " on " + s.device;
    case RigAccess::Off:
      break;
  }
  return "no rig";
}

RigControl::RigControl(EventLoop& loop, FrameState& frame, Prompter& prompter, RigFactory* factory,
                       std::function<std::string()> ownLocator)
    : loop_(loop), frame_(frame), prompter_(prompter), factory_(factory), ownLocator_(std::move(ownLocator)) {
  poll_ = loop_.CreateTimer(kPollMs, false, [this] { Poll(); });
}

RigControl::~RigControl() {
  *alive_ = false;
  Drop();
  if (testRig_) testRig_->Close();
}

void RigControl::Drop() {
  ++generation_;
  if (poll_) poll_->SetEnabled(false);
  if (rig_) rig_->Close();
  rig_.reset();
  reading_ = false;
}

int RigControl::AddReadingListener(std::function<void()> listener) {
  readingListeners_[nextListener_] = std::move(listener);
  return nextListener_++;
}

void RigControl::RemoveReadingListener(int id) { readingListeners_.erase(id); }

void RigControl::NotifyReading() {
  // A copy: a listener may remove itself.
  auto listeners = readingListeners_;
  for (auto& [id, l] : listeners) l();
}

void RigControl::Configure(const RigSettings& settings) {
  Drop();
  settings_ = settings;
  boxShown_ = false;
  tuneText_.clear();
  bool hadReading = current_.ok;
  current_ = {};
  if (settings.use != RigAccess::Off) {
    rig_ = factory_ ? factory_->Create(settings) : nullptr;
    if (!rig_) {
      frame_.SetRig("Rig: " + DescribeRig(settings) + " is not available in this program");
    } else {
      frame_.SetRig("Rig: connecting to " + DescribeRig(settings));
      poll_->SetInterval(kPollMs);
      poll_->SetEnabled(true);
      Poll();
    }
  } else {
    frame_.SetRig("");
  }
  if (hadReading) NotifyReading();
}

void RigControl::Poll() {
  if (!rig_ || reading_) return;
  reading_ = true;
  int generation = generation_;
  rig_->Read([this, generation](const RigReading& r) {
    if (generation != generation_) return;
    reading_ = false;
    OnReading(r);
  });
}

void RigControl::OnReading(const RigReading& r) {
  bool changed = r.ok != current_.ok || r.hz != current_.hz || r.mode != current_.mode ||
                 r.passbandHz != current_.passbandHz;
  current_ = r;
  if (r.ok) {
    boxShown_ = false;
    if (poll_->Interval() != kPollMs) poll_->SetInterval(kPollMs);
    frame_.SetRig("Rig: " + FormatRigFrequency(r.hz) + ModeText(r.mode) + tuneText_);
  } else {
    ShowError(r.error, false);
    if (poll_->Interval() != kPollAfterErrorMs) poll_->SetInterval(kPollAfterErrorMs);
  }
  if (changed) NotifyReading();
}

void RigControl::ShowError(const std::string& error, bool fromUser) {
  std::string text = "Rig: " + (error.empty() ? std::string("no answer") : error);
  frame_.SetRig(text);
  // One box for each time the rig is lost, and only for a tune the user asked for;
  // the poll's failures stay in the status bar.
  if (fromUser && !boxShown_) {
    boxShown_ = true;
    prompter_.MessageBox(text, MsgIcon::Exclamation);
  }
}

bool RigControl::TuneToLine(std::string_view line) {
  if (!rig_) {
    frame_.SetRig(settings_.use == RigAccess::Off ? "Rig control is off (Configuration / Rig Control...)"
                                                  : "Rig: " + DescribeRig(settings_) + " is not available");
    return false;
  }
  auto spot = ReadSpotLine(line);
  if (!spot) {
    frame_.SetRig("Rig: no spot on this line");
    return false;
  }
  int region = IaruRegionOfLocator(ownLocator_ ? ownLocator_() : std::string());
  SpotTuning t = TuningForSpot(*spot, region);
  lastOrder_ = t.order;
  tuneText_ = t.order.split ? ", split " + FormatRigFrequency(t.order.txHz) : std::string();
  std::string what = FormatRigFrequency(t.order.rxHz) + ModeText(t.order.mode) + tuneText_;
  if (!t.inBand) what += " (outside the amateur bands)";
  frame_.SetRig("Rig: tuning " + spot->dxCall + " " + what);
  int generation = generation_;
  rig_->Tune(t.order, [this, generation, what](const RigResult& r) {
    if (generation != generation_) return;
    if (!r.ok) {
      tuneText_.clear();
      ShowError(r.error, true);
      return;
    }
    boxShown_ = false;
    frame_.SetRig("Rig: " + what);
    // Show the new frequency now rather than at the next tick.
    Poll();
  });
  return true;
}

bool RigControl::TuneAt(const TextWindow& window, std::size_t offset) {
  return TuneToLine(LineAt(window.Text(), offset));
}

bool RigControl::TuneToCaret(const TextWindow& window) {
  const std::string& text = window.Text();
  std::size_t caret = window.SelStart();
  std::string_view rest = std::string_view(text).substr(std::min(caret, text.size()));
  if (rest.find_first_not_of("\r\n") != std::string_view::npos) return TuneAt(window, caret);
  // At the end: the newest line that holds a spot.
  std::size_t end = text.size();
  while (end > 0) {
    std::size_t start = text.rfind('\n', end - 1);
    start = start == std::string::npos ? 0 : start + 1;
    std::string_view line = std::string_view(text).substr(start, end - start);
    if (ReadSpotLine(line)) return TuneToLine(line);
    if (start == 0) break;
    end = start - 1;
  }
  return TuneToLine("");
}

void RigControl::Test(const RigSettings& settings, std::function<void(bool, const std::string&)> done) {
  if (testRig_) testRig_->Close();
  testRig_.reset();
  if (settings.use == RigAccess::Off) {
    done(false, "Rig control is off.");
    return;
  }
  testRig_ = factory_ ? factory_->Create(settings) : nullptr;
  if (!testRig_) {
    done(false, DescribeRig(settings) + " is not available in this program.");
    return;
  }
  auto alive = alive_;
  Rig* rig = testRig_.get();
  testRig_->Read([this, alive, done, settings, rig](const RigReading& r) {
    if (!*alive) return;
    if (r.ok)
      done(true, "The rig reads " + FormatRigFrequency(r.hz) + " kHz" + ModeText(r.mode) + ".");
    else
      done(false, DescribeRig(settings) + ": " + r.error);
    // Not inside its own callback: the rig goes once this call has returned.
    loop_.Post([this, alive, rig] {
      if (!*alive || testRig_.get() != rig) return;
      testRig_->Close();
      testRig_.reset();
    });
  });
}

bool RigControl::InPassband(std::int64_t hz) const {
  if (!current_.ok) return false;
  auto [low, high] = PassbandEdges(current_.hz, current_.mode, current_.passbandHz);
  return hz >= low && hz <= high;
}

bool RigControl::SpotLineInPassband(std::string_view line) const {
  if (!current_.ok) return false;
  auto spot = ReadSpotLine(line);
  return spot && InPassband(spot->hz);
}

}  // namespace qn
