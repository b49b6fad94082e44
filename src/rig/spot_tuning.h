// What a spot asks of the radio: its frequency, the mode its comment names (or
// the band plan gives) and split when the comment asks for it. Pure text
// functions; RigControl sends the result to the rig.
//
// Split forms understood, case-insensitive, the number attached or not:
//   "up 2", "UP5", "up 5-10" (the lower end), "up 1.5 kHz", "up" alone (1 kHz,
//   5 kHz in phone), "dn 3" / "down 3", "QSX 14.205" (MHz), "QSX 7185" (kHz),
//   "QSX 205" (kHz within the spot's MHz), "listening 7.180", "lstn 7180",
//   "lsn", "lis", "listen", "listening on ...".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/rig.h"
#include "rig/band_plan.h"

namespace qn {

// The first mode word of the comment: "CW", "FT8 -12 dB", "SSB 5/9", skimmer
// lines ("CW 23 dB 25 WPM CQ", "RTTY 12 dB 45 BPS"). None when there is none.
SpotMode ModeFromComment(std::string_view comment);
// The transmit frequency a comment asks for, given the spot's frequency.
std::optional<std::int64_t> SplitFromComment(std::string_view comment, std::int64_t rxHz, SpotMode mode);

// The frequency, DX call and comment of a spot line: "DX de" lines and the
// listing form of the nodes' show commands ("14025.0 DL1XYZ 8-Dec-2026 1530Z up 2 <K1ABC>").
struct SpotOnLine {
  std::int64_t hz = 0;
  std::string dxCall;
  std::string comment;
};
std::optional<SpotOnLine> ReadSpotLine(std::string_view line);

struct SpotTuning {
  RigOrder order;
  SpotMode mode = SpotMode::None;
  bool inBand = true;
  std::string band;  // "20m"; empty outside the bands
};

// The order for a spot: data modes go to the mode's dial frequency when the
// spot lies within a few kHz above one; outside the bands only the frequency
// (and a mode the comment names) is set.
SpotTuning TuningForSpot(const SpotOnLine& spot, int region);

// Hamlib's name of a spot mode on a frequency ("USB", "PKTUSB").
std::string RigModeName(SpotMode mode, std::int64_t hz);
// The passband the window marks around the rig's frequency for its mode.
// Returns the low and high edges.
std::pair<std::int64_t, std::int64_t> PassbandEdges(std::int64_t hz, const std::string& rigMode,
                                                    int passbandHz);

// "14.025.00" style for the status bar: MHz with kHz and ten-Hz digits.
std::string FormatRigFrequency(std::int64_t hz);

}  // namespace qn
