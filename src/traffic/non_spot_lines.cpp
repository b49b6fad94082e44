#include "traffic/non_spot_lines.h"

#include "core/text.h"

namespace qn {

Bulletin NonSpotMatch::BulletinKind() const {
  switch (form) {
    case NonSpotForm::WxDe:
    case NonSpotForm::WxAt:
      return Bulletin::Wx;
    case NonSpotForm::WwvDe:
    case NonSpotForm::WwvFor:
      return Bulletin::Wwv;
    case NonSpotForm::WcyDe:
      return Bulletin::Wcy;
    default:
      return Bulletin::None;
  }
}

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A call is stored as one word; the line end never becomes part of it.
std::string FirstWord(std::string_view s) {
  std::size_t end = 0;
  while (end < s.size() && s[end] != ' ' && static_cast<unsigned char>(s[end]) >= ' ') ++end;
  return std::string(s.substr(0, end));
}

std::string CallFrom(std::string_view text) { return FirstWord(UCase(Trim(text))); }

class Recogniser {
 public:
  Recogniser(std::string_view line, bool marked, const NonSpotContext& context)
      : context_(context), flag_(marked) {
    match_.line = std::string(line);
  }

  NonSpotMatch Run() {
    if (Announcement()) {
      match_.lineClass = LineClass::Announcement;
    } else if (Talk()) {
      match_.lineClass = LineClass::Talk;
    } else {
      match_.form = NonSpotForm::None;
    }
    return std::move(match_);
  }

 private:
  std::string& Line() { return match_.line; }
  bool Tnc() const { return context_.sessionKind == SessionKind::Tnc; }

  // A keyword counts at position 1; over a radio link anywhere in the first 25
  // characters, and the line then starts at the keyword.
  bool Validated(std::string_view keyword) {
    std::size_t at = InStr(Line(), keyword);
    if (at == 0) return false;
    if (at != 1) {
      if (!Tnc() || at > 25) return false;
      Line() = Mid(Line(), at);
    }
    flag_ = true;
    return true;
  }

  // " says 1234Z: " and the like: the keyword near the start, then a time and "Z:".
  bool FoundNearStart(std::string_view keyword, std::size_t& at) {
    at = InStr(Line(), keyword);
    return flag_ && at >= 1 && at <= 12;
  }
  bool TimedAfter(std::size_t at, std::size_t zOffset) {
    return Line().size() >= at + zOffset + 1 && Mid(Line(), at + zOffset, 2) == "Z:";
  }

  bool Set(NonSpotForm form, bool continues = false) {
    match_.form = form;
    if (continues) match_.continuationColon = InStr(Line(), ":");
    return true;
  }

  bool Announcement() {
    if (Validated("WX de ")) return Set(NonSpotForm::WxDe);
    if (Validated("WX at ")) return Set(NonSpotForm::WxAt, true);
    if (Validated("WWV de ")) return Set(NonSpotForm::WwvDe);
    if (Validated("WWV for ")) return Set(NonSpotForm::WwvFor, true);
    if (Validated("WCY de ")) return Set(NonSpotForm::WcyDe);
    if (Validated("To LOCAL de ")) return Set(NonSpotForm::ToLocal);
    if (Validated("To ALL de ")) return Set(NonSpotForm::ToAll);
    if (Validated("ALL de ")) return Set(NonSpotForm::AllDe);
    // The says and shouts forms look like any chatter; the node rings the bell
    // for the ones meant as announcements.
    std::size_t at = 0;
    if (FoundNearStart(" says: ", at)) return Set(NonSpotForm::Says, true);
    if (FoundNearStart(" says ", at) && TimedAfter(at, 10)) return Set(NonSpotForm::SaysTimed, true);
    if (FoundNearStart(" shouts: ", at)) return Set(NonSpotForm::Shouts, true);
    if (FoundNearStart(" shouts ", at) && TimedAfter(at, 12)) return Set(NonSpotForm::ShoutsTimed, true);
    return false;
  }

  bool Talk() { return DeTalk() || OwnCallTalk() || TalksForms() || TalkDe() || ChatTalk(); }

  bool DeTalk() {
    if (!flag_) return false;
    std::string candidate;
    if (StartsWith(Line(), "de ")) {
      candidate = Line();
    } else if (Tnc()) {
      std::size_t at = InStr(Line(), "de ");
      std::size_t spaced = InStr(Line(), " de ");
      // "K1ABC de DL1XYZ: " is the own-call form, not this one.
      if (at < 2 || at > 25 || (spaced != 0 && spaced < at)) return false;
      candidate = Mid(Line(), at);
    } else {
      return false;
    }
    std::size_t colon = InStr(candidate, ": ");
    if (colon < 4 || colon > 29) return false;
    match_.talker = CallFrom(Mid(candidate, 4, colon - 4));
    Line() = std::move(candidate);
    return Set(NonSpotForm::DeTalk);
  }

  bool OwnCallTalk() {
    const std::string own = Trim(context_.ownCall);
    if (own.empty() || !IEquals(Left(Line(), own.size()), own)) return false;
    std::size_t de = InStr(Line(), " de ", 2);
    if (de == 0) return false;
    std::size_t colon = InStr(Line(), ": ", de + 4);
    if (colon == 0) return false;
    match_.talker = CallFrom(Mid(Line(), de + 4, colon - de - 4));
    return Set(NonSpotForm::OwnCallTalk);
  }

  bool TalksForms() {
    std::size_t at = InStr(Line(), " talks: ");
    NonSpotForm form = NonSpotForm::Talks;
    if (at == 0) {
      at = InStr(Line(), " talks ");
      if (at == 0 || Line().size() < at + 12 || Mid(Line(), at + 11, 2) != "Z:") return false;
      form = NonSpotForm::TalksTimed;
    }
    match_.talker = CallFrom(Left(Line(), at - 1));
    return Set(form, true);
  }

  bool TalkDe() {
    std::size_t at = InStr(Line(), "TALK de ");
    if (at == 0) return false;
    match_.talker = at == 1 ? CallFrom(Mid(Line(), 9)) : CallFrom(Left(Line(), at - 1));
    return Set(NonSpotForm::TalkDe);
  }

  // A chat line that names the user: "<nick> K1ABC: hello", or a private
  // "<*nick*>" message.
  bool ChatTalk() {
    const std::string own = UCase(Trim(context_.ownCall));
    if (!context_.chatSession || own.empty()) return false;
    const std::string& line = Line();
    if (!StartsWith(line, "<") || InStr(line, ">", 2) == 0) return false;
    // The cluster robots' own private lines are spots, not talk.
    std::string head = LCase(Left(line, 5));
    if (head == "<*dxr" || head == "<*dx-") return false;
    if (!StartsWith(line, "<*")) {
      const std::string upper = UCase(line);
      std::size_t hit = 0;
      std::size_t length = 0;
      for (std::size_t skip = 0; skip < own.size(); ++skip) {
        std::string needle = " " + own.substr(skip);
        hit = InStr(upper, needle);
        if (hit != 0) {
          length = needle.size();
          break;
        }
        // Down to the last three characters of the call ("ABC" of "K1ABC").
        if (own.size() - skip <= 3) break;
      }
      if (hit == 0) return false;
      if (hit > 1) {
        std::string after = Mid(line, hit + length, 1);
        if (!after.empty() && IsAsciiAlnum(after[0])) return false;
        if (StartsWith(line, "*** Welcome") || StartsWith(line, " ")) return false;
      }
    }
    match_.talker = Left(line, InStr(line, ">"));
    return Set(NonSpotForm::Chat);
  }

  const NonSpotContext& context_;
  bool flag_;
  NonSpotMatch match_;
};

}  // namespace

NonSpotMatch ClassifyNonSpotLine(std::string_view line, bool marked, const NonSpotContext& context) {
  return Recogniser(line, marked, context).Run();
}

}  // namespace qn
