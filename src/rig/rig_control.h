// Rig control of one instance: tunes the radio to a spot line (frequency, mode,
// split), polls its frequency and mode for the status bar while rig control is
// on, and tells the spot window which spots lie in the passband. Talks to the
// radio through the Rig port; shows its state in the frame's rig text.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rig.h"

namespace qn {

class EventLoop;
class FrameState;
class Prompter;
class TextWindow;
class Timer;

class RigControl {
 public:
  static constexpr int kPollMs = 1000;
  // A rig that does not answer is asked less often, so that its daemon's log stays readable.
  static constexpr int kPollAfterErrorMs = 5000;

  RigControl(EventLoop& loop, FrameState& frame, Prompter& prompter, RigFactory* factory,
             std::function<std::string()> ownLocator);
  ~RigControl();
  RigControl(const RigControl&) = delete;
  RigControl& operator=(const RigControl&) = delete;

  // Takes new settings: the old rig goes, polling starts or stops.
  void Configure(const RigSettings& settings);
  const RigSettings& Settings() const { return settings_; }
  bool On() const { return rig_ != nullptr; }

  // Tunes to the spot on the line. False, with the reason in the status text,
  // when the line holds no spot or rig control is off.
  bool TuneToLine(std::string_view line);
  // The line at a 0-based offset of the window's text.
  bool TuneAt(const TextWindow& window, std::size_t offset);
  // The line of the caret; with the caret at the end of the text, the newest spot.
  bool TuneToCaret(const TextWindow& window);

  // Reads the frequency through a rig made for the given settings (the
  // dialog's "Test"); done gets the text to show.
  void Test(const RigSettings& settings, std::function<void(bool ok, const std::string& text)> done);

  const RigReading& Current() const { return current_; }
  // The spot line's frequency lies in the passband of what the rig reads now.
  bool SpotLineInPassband(std::string_view line) const;
  bool InPassband(std::int64_t hz) const;

  // Listeners run after the frequency or mode read from the rig changed (or
  // was lost); the id removes one again.
  int AddReadingListener(std::function<void()> listener);
  void RemoveReadingListener(int id);
  // The order last sent, for tests and the status text.
  const RigOrder& LastOrder() const { return lastOrder_; }

 private:
  void Poll();
  void OnReading(const RigReading& reading);
  void ShowError(const std::string& error, bool fromUser);
  void Drop();
  void NotifyReading();

  EventLoop& loop_;
  FrameState& frame_;
  Prompter& prompter_;
  RigFactory* factory_;
  std::function<std::string()> ownLocator_;
  RigSettings settings_;
  std::unique_ptr<Rig> rig_;
  std::unique_ptr<Rig> testRig_;
  std::unique_ptr<Timer> poll_;
  RigReading current_;
  std::map<int, std::function<void()>> readingListeners_;
  int nextListener_ = 1;
  RigOrder lastOrder_;
  std::string tuneText_;  // shown beside the reading after a tune
  bool reading_ = false;
  bool boxShown_ = false;
  // Callbacks of a rig that has since been replaced are ignored.
  int generation_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Where the rig's description goes in texts: "rigctld at 127.0.0.1:4532".
std::string DescribeRig(const RigSettings& settings);

}  // namespace qn
