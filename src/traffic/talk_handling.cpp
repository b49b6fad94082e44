#include "traffic/talk_handling.h"

#include "core/app.h"
#include "core/text.h"
#include "session/connection_control.h"
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

bool TalkHandling::ChatSession() const {
  ConnectionControl* t = app_.Connection();
  return t && t->Modes().chat;
}

std::string TalkHandling::AnswerTalk(SpotSource source, const std::string& talker) {
  std::size_t side = Side(source);
  bool chat = ChatSession();
  std::string prefix = chat ? ChatReplyPrefix(talker) : std::string();

  double& last = lastTalkTime_[side];
  if (last > kNoTalk) {
    double now = app_.ClockPort().SecondsSinceMidnight();
    if (now < last) last = (last == 0 ? 86400 : last) - 86400;
    if (now - last > kAnswerAgainAfter) {
      lastAnswered_[side].clear();
      last = 0;
    }
  }

  bool answered = talker == lastAnswered_[side] || (chat && SameChatTalker(talker, lastAnswered_[side]));
  if (answered || !app_.Options().autoAnswer) return {};
  lastAnswered_[side] = talker;

  const AppSettings& s = app_.Settings();
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

void TalkHandling::OnTalkShown(SpotSource source, const std::string& talker) {
  std::size_t side = Side(source);
  lastTalker_[side] = talker;
  AnswerTalk(source, talker);
  lastTalkTime_[side] = app_.ClockPort().SecondsSinceMidnight();

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
