// Recognition of the cluster lines that are not spots: announcements, the
// propagation bulletins (WWV, WCY, WX) and the talk forms. A pure decision on
// one line; the Classifier keeps the remembered values and feeds the windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/session_kind.h"
#include "traffic/spot_record.h"

namespace qn {

// Which form made the line what it is.
enum class NonSpotForm {
  None,
  WxDe,         // "WX de "
  WxAt,         // "WX at "
  WwvDe,        // "WWV de "
  WwvFor,       // "WWV for "
  WcyDe,        // "WCY de "
  ToLocal,      // "To LOCAL de "
  ToAll,        // "To ALL de "
  AllDe,        // "ALL de "
  Says,         // "K1ABC says: ..."
  SaysTimed,    // "K1ABC says 1234Z: ..."
  Shouts,       // "K1ABC shouts: ..."
  ShoutsTimed,  // "K1ABC shouts 1234Z: ..."
  DeTalk,       // "de K1ABC: ..."
  OwnCallTalk,  // "<own call> de K1ABC: ..."
  Talks,        // "K1ABC talks: ..."
  TalksTimed,   // "K1ABC talks 1234Z: ..."
  TalkDe,       // "TALK de K1ABC ..."
  Chat,         // "<nick> ..." naming the user, in a chat session
};

enum class Bulletin { None, Wx, Wwv, Wcy };

// What the classification depends on besides the line.
struct NonSpotContext {
  // A TNC session accepts a keyword anywhere in the first 25 characters (a
  // radio link puts prompts and paths in front of it).
  SessionKind sessionKind = SessionKind::Telnet;
  // A site whose name holds "CHAT".
  bool chatSession = false;
  std::string ownCall;
};

struct NonSpotMatch {
  // Announcement, Talk or Other.
  LineClass lineClass = LineClass::Other;
  NonSpotForm form = NonSpotForm::None;
  // The line as classified: in a TNC session it begins with the keyword.
  std::string line;
  // For a talk: the call (or chat nick) to answer.
  std::string talker;
  // 1-based position of the first ":" for the forms that continue on indented
  // lines; 0 for the others.
  std::size_t continuationColon = 0;

  Bulletin BulletinKind() const;
};

// line: as received, bells already removed; marked: it held a bell.
NonSpotMatch ClassifyNonSpotLine(std::string_view line, bool marked, const NonSpotContext& context);

}  // namespace qn
