// The values that travel with every cluster line: what a line was classified as
// (LineClass), where a spot line came from (SpotSource) and the parsed spot
// (SpotRecord). Built by the classifier and the spot line parser, read by the
// pipeline, filters, alerts, bridge and links.
#pragma once

#include <string>
#include <string_view>

namespace qn {

enum class LineClass { Spot, Announcement, Talk, Continuation, Other };

// The numbers are part of the interface: other copies and the pipeline branch on them.
enum class SpotSource : int {
  Main = 1,    // telnet line, web-cluster poll line, replayed line
  Link = 2,    // external-program link input
  Serial = 3,  // TNC session or auxiliary port (and some web pages)
  Node = 4,    // a node-protocol "PC11^" record converted here
};

struct SpotRecord {
  // The normalised line, CR LF included.
  std::string line;
  std::string spotter;
  // As received; the line holds at most 9 characters of it.
  std::string frequency;
  std::string dxCall;
  // Leading spaces removed, runs of spaces reduced to one, at most 31 characters.
  std::string comment;
  // Four digits and "Z".
  std::string time;
  SpotSource source = SpotSource::Main;
  // The line arrived in the bridge form "DX/".
  bool converted = false;
  // 0 none, 1 the DX call matched an alert, 2 the spotter did (set by the alerts).
  int alert = 0;

  // The leading decimal value of the frequency in kHz; 0 when it does not read as a number.
  double FrequencyKhz() const;
};

// The DX call and frequency of the last spot line that ParseSpotFields understood.
struct LastParsedSpot {
  std::string dxCall;
  std::string frequency;
};

int SourceNumber(SpotSource source);
// Any number outside 2..4 counts as the main session.
SpotSource SourceFromNumber(int number);
// Talks, continuations and their remembered values are kept apart for the serial
// port; every other source shares the main session's.
bool IsSerialSide(SpotSource source);
std::string_view LineClassName(LineClass c);

}  // namespace qn
