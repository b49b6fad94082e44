#include "traffic/talk_rules.h"

#include "core/instance.h"
#include "core/text.h"

namespace qn {

TalkFields TalkDialogLoad(const Instance& app) {
  const AppSettings& s = app.Settings();
  return {s.talkTimeStamp, s.talkPriority, s.autoAnswerEnabled, s.autoAnswerString};
}

bool TalkDialogSave(Instance& app, const TalkFields& fields) {
  std::string answer = WithoutLineBreaks(fields.answerString);
  // A string of blanks would answer with nothing but the command.
  if (fields.autoAnswer && Trim(answer).empty()) {
    app.Prompt().MessageBox(kNeedAnswerString, MsgIcon::Exclamation);
    return false;
  }
  AppSettings& s = app.Settings();
  s.talkTimeStamp = fields.timeStamp;
  s.talkPriority = fields.priority;
  s.autoAnswerEnabled = fields.autoAnswer;
  s.autoAnswerString = answer;
  app.Options().autoAnswer = fields.autoAnswer;
  app.Options().talkPriority = fields.priority;
  app.Frame().SetChecked("mnuautoans", fields.autoAnswer);
  app.Frame().SetChecked("mnutalkprio", fields.priority);
  app.SaveSettings();
  return true;
}

}  // namespace qn
