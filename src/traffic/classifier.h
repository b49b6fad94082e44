// Owns the classification of every complete cluster line and the values it
// remembers between lines: the continuation colons, the last talker per side and
// the last parsed spot. Hands its results to the pipeline and the traffic
// windows through ClassifierSinks; the receive paths call ClassifyIncomingLine.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/session_kind.h"
#include "traffic/non_spot_lines.h"
#include "traffic/spot_record.h"

namespace qn {

// Where classified lines go. An empty sink drops what it would have received.
struct ClassifierSinks {
  // A spot line (CR LF included; a converted bridge line starts with the
  // conversion mark): ProcessSpot.
  std::function<void(const std::string& line, SpotSource source)> onSpot;
  // Whether the announcement window already holds this very line; such a line
  // is classified but not shown, logged or sounded again.
  std::function<bool(std::string_view line)> announcementShown;
  // A new announcement: announcement window, log, sound event 2.
  std::function<void(const std::string& line, SpotSource source, NonSpotForm form)> onAnnouncement;
  // A new WWV, WCY or WX bulletin. When empty, bulletins go to onAnnouncement.
  std::function<void(const std::string& line, SpotSource source, Bulletin kind)> onBulletin;
  // A talk, after its talker was stored: talk window, log, then the talk handling.
  std::function<void(const std::string& line, SpotSource source, const std::string& talker)> onTalk;
  // An indented follow-on line; window is LineClass::Talk or LineClass::Announcement.
  std::function<void(const std::string& line, SpotSource source, LineClass window)> onContinuation;
};

struct ClassifierContext {
  SessionKind sessionKind = SessionKind::Telnet;
  bool chatSession = false;
  std::string ownCall;
  // "hhmm" UTC for bridge lines, which carry no time (see BridgeTimeStamp).
  // Asked only when a bridge line arrives; "0000" when not set.
  std::function<std::string()> utcHhmm;
};

class Classifier {
 public:
  Classifier() = default;
  explicit Classifier(ClassifierSinks sinks) : sinks_(std::move(sinks)) {}

  ClassifierSinks& Sinks() { return sinks_; }
  ClassifierContext& Context() { return context_; }

  // One complete line as received, CR LF included. marked: the dispatcher took
  // a bell out of it (bells still in the line are taken out here and count the
  // same). source: Main for the main session, Serial for the serial-port
  // dispatcher, which also finds "DX de " after a radio path in front of it.
  // Returns the class of the received line (a "PC11^" record is passed on as a
  // spot of its own before the received line is classified).
  LineClass ClassifyIncomingLine(std::string_view line, SpotSource source, bool marked = false);

  // Consumes an indented follow-on line of the last announcement or talk of the
  // source; any other line forgets every remembered colon.
  bool HandleContinuation(std::string_view line, SpotSource source);
  // Announcement, Talk or Other; shows the line through the sinks.
  LineClass ClassifyNonSpotLine(std::string_view line, SpotSource source, bool marked);

  // The pipeline forgets the continuation when a spot arrives.
  void ClearContinuation();
  std::size_t AnnouncementColon(SpotSource source) const { return announcementColon_[Side(source)]; }
  std::size_t TalkColon(SpotSource source) const { return talkColon_[Side(source)]; }

  const std::string& LastTalker(SpotSource source) const { return lastTalker_[Side(source)]; }
  // NormaliseSpotLine keeps this up to date when the pipeline hands it in.
  LastParsedSpot& LastParsed() { return lastParsed_; }
  const LastParsedSpot& LastParsed() const { return lastParsed_; }

 private:
  static std::size_t Side(SpotSource source) { return IsSerialSide(source) ? 1 : 0; }
  void Spot(const std::string& line, SpotSource source);

  ClassifierSinks sinks_;
  ClassifierContext context_;
  std::array<std::size_t, 2> announcementColon_{};
  std::array<std::size_t, 2> talkColon_{};
  std::array<std::string, 2> lastTalker_;
  LastParsedSpot lastParsed_;
};

}  // namespace qn
