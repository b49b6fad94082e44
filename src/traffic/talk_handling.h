// Owns what follows a shown talk: the automatic answer with its 300-second
// rule, talk priority, the talk sound and the "F12: talk answer" prompt. Reads
// the instance's options and settings; sends through its SendLine or the serial hook.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "traffic/spot_record.h"

namespace qn {

class Instance;
class SpeechQueue;

// The serial-port side and the front end, wired by their owners.
struct TalkHooks {
  // Text (with its line end) written to the serial port.
  std::function<void(const std::string& text)> sendSerial;
  // The serial port runs an IRC session.
  std::function<bool()> serialIrc;
  // Text from the bridge settings put in front of an IRC answer in a TNC session.
  std::function<std::string()> tncIrcPrefix;
  // The session is a chat session.
  std::function<bool()> chatSession;
  // Brings the program's main window to the front and focuses the talk window.
  std::function<void()> bringToFront;
};

// "t " (or "t/t " with the time stamp) + talker + " ", for F12.
std::string TalkAnswerCommand(std::string_view talker, bool timeStamp);
// The reply prefix of a chat session: "/M nick nick: " for a private form
// ("<*nick*>"), otherwise talker + ": ".
std::string ChatReplyPrefix(std::string_view talker);
// Chat talkers compare without "*" and without letter case.
bool SameChatTalker(std::string_view a, std::string_view b);

// How often automatic answers may go out: each talker once in a span that his
// every talk renews, and all talkers together a few times a minute. Times are
// seconds.
class AnswerLimits {
 public:
  // Whether talker was answered within the span (his talk renews it).
  bool Recent(const std::string& talker, double now);
  // Counts an answer to talker; false when the minute's answers are used up.
  bool Take(const std::string& talker, double now);

 private:
  std::map<std::string, double> lastTalk_;  // talkers answered, by their last talk
  std::deque<double> answers_;              // answers of the last minute
};

class TalkHandling {
 public:
  static constexpr double kNoTalk = -200000;
  static constexpr double kAnswerAgainAfter = 300;
  static constexpr int kMaxAnswersPerMinute = 3;
  static constexpr const char* kF12Prompt = "F12: talk answer";

  TalkHandling(Instance& app, SpeechQueue& speech) : app_(app), speech_(speech) {}

  TalkHooks& Hooks() { return hooks_; }

  // Everything after a talk was shown and its talker stored; text is the line.
  void OnTalkShown(SpotSource source, const std::string& talker, std::string_view text = {});
  // The automatic answer; returns the text sent, empty when none.
  std::string AnswerTalk(SpotSource source, const std::string& talker, std::string_view text = {});

  // The F12 text for the typed-input line.
  std::string F12Text() const;

  // A click on a line with "<" talker ">" makes that talker the one F12 answers.
  void SetLastTalker(SpotSource source, const std::string& talker) { lastTalker_[Side(source)] = talker; }
  const std::string& LastAnswered(SpotSource source) const { return lastAnswered_[Side(source)]; }
  double LastTalkTime(SpotSource source) const { return lastTalkTime_[Side(source)]; }

 private:
  static std::size_t Side(SpotSource source) { return IsSerialSide(source) ? 1 : 0; }
  bool ChatSession() const;

  Instance& app_;
  SpeechQueue& speech_;
  TalkHooks hooks_;
  std::array<std::string, 2> lastAnswered_;
  std::array<std::string, 2> lastTalker_;
  std::array<double, 2> lastTalkTime_{kNoTalk, kNoTalk};
  std::array<AnswerLimits, 2> limits_;
};

}  // namespace qn
