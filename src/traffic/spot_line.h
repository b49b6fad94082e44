// The standard spot line ("DX de " line) that every part of the program reads and
// writes, its field parser and its repair into the fixed layout. Pure text
// functions: the pipeline calls NormaliseSpotLine first, the conversions and the
// bridge build lines with the layout helpers.
//
// Layout, columns from 1, then CR LF:
//   1-6 "DX de ", 7-15 spotter and ":" (a longer call pushes the rest right),
//   16-24 frequency right-aligned, 25-26 blanks, 27-38 DX call, 39 blank,
//   40-70 comment, 71-75 time "hhmmZ".
//   "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z"
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "traffic/spot_record.h"

namespace qn {

inline constexpr std::size_t kSpotLineWidth = 75;
// How far a long spotter call may push a spot line past 75 columns and keep its
// time ("DX de " and a 24-character call with its colon).
inline constexpr std::size_t kMaxSpotterExcess = 16;
// The conversions mark a bridge line with this first character; the pipeline takes it off.
inline constexpr char kConvertedMark = '\x01';

struct SpotFields {
  // 1-based position of the spotter colon; 0 when the line holds none.
  std::size_t colon = 0;
  // Both empty unless both were found.
  std::string frequency;
  std::string dxCall;

  bool Understood() const { return !frequency.empty() && !dxCall.empty(); }
};

// Finds the spotter colon (the last of a run of colons less than 5 apart, as in
// "DX de K1ABC-2:14:" time-stamped forms) and the two words after it.
SpotFields ParseSpotFields(std::string_view line);

// Strips the conversion mark, repairs a missing spotter colon, parses, and rebuilds
// the line into the layout (a well-formed line keeps its time at the end; a line
// without one is padded and rebuilt). No spotter colon: no record. When the words
// were understood they become *lastParsed.
std::optional<SpotRecord> NormaliseSpotLine(std::string_view line, SpotSource source,
                                            LastParsedSpot* lastParsed = nullptr);

// Layout helpers.
// Every run of spaces becomes one space.
std::string SqueezeSpaces(std::string_view s);
// Cut to width, then right-aligned in width.
std::string FitRight(std::string_view s, std::size_t width);
// Padded with spaces to width; longer text stays whole.
std::string PadAtLeast(std::string_view s, std::size_t width);
// The text without a final CR LF, LF or CR.
std::string_view WithoutLineEnd(std::string_view s);

}  // namespace qn
