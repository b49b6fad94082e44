#include "traffic/classifier.h"

#include "core/text.h"
#include "session/received_line.h"
#include "traffic/line_conversions.h"

namespace qn {

void Classifier::Spot(const std::string& line, SpotSource source) {
  if (sinks_.onSpot) sinks_.onSpot(line, source);
}

LineClass Classifier::ClassifyIncomingLine(std::string_view received, SpotSource source, bool marked) {
  std::string line(received);
  if (RemoveBells(line)) marked = true;

  if (HandleContinuation(line, source)) return LineClass::Continuation;

  std::size_t record = InStr(line, "PC11^");
  if (record >= 1 && record <= 7) {
    std::string converted = ConvertNodeRecord(Mid(line, record));
    if (!converted.empty()) Spot(converted, SpotSource::Node);
  }

  // Over a radio link the spot may follow a path or a prompt.
  std::size_t spotAt = InStr(line, "DX de ");
  std::size_t lastAllowed = IsSerialSide(source) ? 25 : 1;
  if (spotAt >= 1 && spotAt <= lastAllowed) {
    Spot(Mid(line, spotAt), source);
    return LineClass::Spot;
  }

  std::size_t bridgeAt = BridgeLinePosition(line);
  if (bridgeAt > 0) {
    std::string time = context_.utcHhmm ? context_.utcHhmm() : std::string("0000");
    if (ConvertBridgeLine(line, bridgeAt, time)) {
      Spot(line, source);
      return LineClass::Spot;
    }
  }

  return ClassifyNonSpotLine(line, source, marked);
}

bool Classifier::HandleContinuation(std::string_view line, SpotSource source) {
  std::size_t side = Side(source);
  bool toTalk = talkColon_[side] != 0;
  std::size_t colon = toTalk ? talkColon_[side] : announcementColon_[side];
  if (colon != 0 && line.size() >= colon + 1 && line.find_first_not_of(' ') >= colon + 1) {
    if (sinks_.onContinuation)
      sinks_.onContinuation(std::string(line), source, toTalk ? LineClass::Talk : LineClass::Announcement);
    return true;
  }
  ClearContinuation();
  return false;
}

void Classifier::ClearContinuation() {
  announcementColon_ = {};
  talkColon_ = {};
}

LineClass Classifier::ClassifyNonSpotLine(std::string_view line, SpotSource source, bool marked) {
  ClearContinuation();
  NonSpotContext nonSpot{context_.sessionKind, context_.chatSession, context_.ownCall};
  NonSpotMatch match = qn::ClassifyNonSpotLine(line, marked, nonSpot);
  std::size_t side = Side(source);

  if (match.lineClass == LineClass::Announcement) {
    // A repeat is not shown, and neither are its follow-on lines.
    if (sinks_.announcementShown && sinks_.announcementShown(match.line)) return LineClass::Announcement;
    announcementColon_[side] = match.continuationColon;
    Bulletin kind = match.BulletinKind();
    if (kind != Bulletin::None && sinks_.onBulletin) {
      sinks_.onBulletin(match.line, source, kind);
    } else if (sinks_.onAnnouncement) {
      sinks_.onAnnouncement(match.line, source, match.form);
    }
  } else if (match.lineClass == LineClass::Talk) {
    talkColon_[side] = match.continuationColon;
    lastTalker_[side] = match.talker;
    if (sinks_.onTalk) sinks_.onTalk(match.line, source, lastTalker_[side]);
  }
  return match.lineClass;
}

}  // namespace qn
