// The rules of the talk dialog Frmcfgaut ("Talk Related Parameters"): what it
// shows and what "&Save" stores, with its one refusal.
#pragma once

#include <string>

namespace qn {

class Instance;

inline constexpr const char* kTalkFrameCaption = "Talk Related Parameters";
inline constexpr const char* kNeedAnswerString = "Must specify an answer string";

struct TalkFields {
  bool timeStamp = false;    // "&Talk Time Stamp"
  bool priority = false;     // "Talk &Priority" (Chktp)
  bool autoAnswer = false;   // "&Enable Auto Answer"
  std::string answerString;  // "&Auto Answer String" (Txtaut)
};

TalkFields TalkDialogLoad(const Instance& app);
// False (and the warning shown) when the dialog must stay open.
bool TalkDialogSave(Instance& app, const TalkFields& fields);

}  // namespace qn
