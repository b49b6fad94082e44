#include "traffic/talk_handling.h"

#include "core/instance.h"
#include "core/text.h"
#include "sound/speech_queue.h"

namespace qn {

std::string TalkAnswerCommand(std::string_view talker, bool timeStamp) {
  return std::string(timeStamp ? "t/t " : "t ") + std::string(talker) + " ";
}

std::string ChatReplyPrefix(std::string_view talker) {
  std::size_t n = talker.size();
  if (n > 4 && talker[1] == '*' && talker[n - 2] == '*') {
    std::string nick(talker.substr(2, n - 4));
    nick = nick.substr(0, nick.find(':'));
    return "/M " + nick + " " + nick + ": ";
  }
  return std::string(talker) + ": ";
}

bool SameChatTalker(std::string_view a, std::string_view b) {
  return IEquals(ReplaceAll(std::string(a), "*", ""), ReplaceAll(std::string(b), "*", ""));
}

bool TalkHandling::ChatSession() const { return hooks_.chatSession && hooks_.chatSession(); }

bool AnswerLimits::Recent(const std::string& talker, double now) {
  for (auto it = lastTalk_.begin(); it != lastTalk_.end();) {
    if (now - it->second > TalkHandling::kAnswerAgainAfter || now < it->second) {
      it = lastTalk_.erase(it);
    } else {
      ++it;
    }
  }
  auto it = lastTalk_.find(talker);
  if (it == lastTalk_.end()) return false;
  // Each talk renews the span: a talker who keeps talking is answered once.
  it->second = now;
  return true;
}

bool AnswerLimits::Take(const std::string& talker, double now) {
  while (!answers_.empty() && (now - answers_.front() >= 60 || now < answers_.front())) answers_.pop_front();
  if (answers_.size() >= static_cast<std::size_t>(TalkHandling::kMaxAnswersPerMinute)) return false;
  answers_.push_back(now);
  lastTalk_[talker] = now;
  return true;
}

std::string TalkHandling::AnswerTalk(SpotSource source, const std::string& talker, std::string_view text) {
  std::size_t side = Side(source);
  bool chat = ChatSession();
  // Wall seconds with the date, so the limits hold across midnight.
  const double now = app_.ClockPort().LocalNow().ToSerial() * 86400.0;
  const std::string key = UCase(ReplaceAll(talker, "*", ""));
  const bool recent = limits_[side].Recent(key, now);
  std::string prefix = chat ? ChatReplyPrefix(talker) : std::string();

  double& last = lastTalkTime_[side];
  if (last > kNoTalk) {
    double now = app_.ClockPort().LocalNow().SecondsSinceMidnight();
    if (now < last) last = (last == 0 ? 86400 : last) - 86400;
    if (now - last > kAnswerAgainAfter) {
      lastAnswered_[side].clear();
      last = 0;
    }
  }

  bool answered = talker == lastAnswered_[side] || (chat && SameChatTalker(talker, lastAnswered_[side]));
  if (answered || recent || !app_.Options().autoAnswer) return {};
  const AppSettings& s = app_.Settings();
  // Another copy of the program away from its keyboard: answering its answer
  // would start a conversation of machines.
  const std::string own = Trim(s.autoAnswerString);
  while (!text.empty() && std::string_view("\r\n\a \t").find(text.back()) != std::string_view::npos)
    text.remove_suffix(1);
  if (!own.empty() && EndsWith(text, own)) return {};
  if (!limits_[side].Take(key, now)) return {};
  lastAnswered_[side] = talker;

  std::string command = s.talkTimeStamp ? "t/t " : "t ";
  std::string answer;
  if (side == 0) {
    answer =
        chat ? prefix + s.autoAnswerString + "\r\n" : command + talker + " " + s.autoAnswerString + "\r\n";
    app_.Append(WindowId::Terminal, answer);
    app_.SendLine(answer);
  } else {
    if (hooks_.serialIrc && hooks_.serialIrc()) {
      answer = "PRIVMSG " + talker + " :" + s.autoAnswerString + "\r";
      if (app_.State().sessionKind == SessionKind::Tnc && hooks_.tncIrcPrefix)
        answer = hooks_.tncIrcPrefix() + answer;
    } else if (chat) {
      answer = prefix + s.autoAnswerString + "\r\n";
    } else {
      answer = command + talker + " " + s.autoAnswerString + "\r";
    }
    app_.Append(WindowId::Terminal, answer);
    if (hooks_.sendSerial) hooks_.sendSerial(answer);
  }
  return answer;
}

void TalkHandling::OnTalkShown(SpotSource source, const std::string& talker, std::string_view text) {
  std::size_t side = Side(source);
  lastTalker_[side] = talker;
  AnswerTalk(source, talker, text);
  lastTalkTime_[side] = app_.ClockPort().LocalNow().SecondsSinceMidnight();

  if (app_.Options().talkPriority) {
    if (app_.Frame().Minimised()) app_.Frame().SetMinimised(false);
    if (hooks_.bringToFront) hooks_.bringToFront();
  }
  SpeechQueue::SoundGate gate{app_.Options().sounds, app_.State().soundAvailable,
                              app_.Settings().silenceOnTalksAndAnns};
  speech_.QueueSoundEvent(1, gate);

  if (!app_.Options().autoAnswer && !app_.CaptureFile().On()) app_.Frame().SetPrompt(kF12Prompt);
}

std::string TalkHandling::F12Text() const {
  // The talk-answer key answers the last talk of the main session.
  return TalkAnswerCommand(lastTalker_[0], app_.Settings().talkTimeStamp);
}

}  // namespace qn
