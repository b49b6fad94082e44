// The three foreign spot forms turned into the standard spot line: the
// node-protocol record ("PC11^"), the bridge form ("DX/") that other copies and
// the aux port send, and the fixed-column listings of web clusters and robots.
// Pure text functions; the classifier, the web poller and the IRC session call them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/date_time.h"

namespace qn {

// "PC11^14025.0^DL1XYZ^ 5-Jan-2024^1234Z^up 2^K1ABC^GB7XX^H99^~" becomes
// "DX de K1ABC:     14025.0  DL1XYZ       up 2                           1234Z" CR LF.
// A record without frequency, DX call or spotter gives an empty line.
std::string ConvertNodeRecord(std::string_view record);

// "DX/K1ABC 14025.0 DL1XYZ up 2" CR LF, read from position (1-based, where "DX/"
// stands), becomes a spot line marked with kConvertedMark and stamped with
// utcHhmm ("hhmm"). Replaces line and returns true; when a field is missing the
// line stays as it was, position becomes 0 and the result is false.
bool ConvertBridgeLine(std::string& line, std::size_t& position, std::string_view utcHhmm);

// Where "DX/" makes a line a bridge line: at position 1, or below 30 after a
// character that cannot be part of a call ("K1ABC/DX/..." or "PA/DX/" are no
// bridge lines). 0 when it is none.
std::size_t BridgeLinePosition(std::string_view line);

// The "hhmm" stamp of a bridge line: local time plus the "UTC - Local" offset,
// read as a decimal number of hours at the start of its text.
std::string BridgeTimeStamp(const DateTime& localNow, std::string_view utcOffsetText);

// A listing line, either "K1ABC: 14025.0 DL1XYZ up 2 1234Z" plus six trailing
// characters, or the columns spotter (to 16), frequency (to 17), DX call (19-30),
// comment (31-60), time (61-64). Gives a spot line, or an empty string when the
// line is not one.
std::string ConvertColumnLine(std::string_view line);

}  // namespace qn
