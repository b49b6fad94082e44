// 8-bit text helpers. Positions are 1-based where the names say so (InStr, Mid),
// so an algorithm written with 1-based positions reads the same here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

inline constexpr std::string_view kCrLf = "\r\n";

// 1-based position of needle in hay at or after start, 0 when absent.
std::size_t InStr(std::string_view hay, std::string_view needle, std::size_t start = 1);
// 1-based position of the last needle starting at or before start (0 = from the end).
std::size_t InStrRev(std::string_view hay, std::string_view needle, std::size_t start = 0);
// Characters from 1-based start, at most length of them (npos: to the end).
std::string Mid(std::string_view s, std::size_t start, std::size_t length = std::string::npos);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);

std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
// Blanks only, as a line read from a file is trimmed; tabs and others stay.
std::string Trim(std::string_view s);
std::string TrimSpaceAndControls(std::string_view s);

// Lenient number reading: leading blanks, optional sign, digits, optional fraction;
// whatever does not read as a number is 0. Never throws, never overflows.
double Val(std::string_view s);
// Val rounded to an integer and clamped into the range of T.
std::int64_t ValInt(std::string_view s);
std::int16_t ValInt16(std::string_view s);
std::int32_t ValInt32(std::string_view s);

std::string PadRight(std::string_view s, std::size_t width, char pad = ' ');
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool IEquals(std::string_view a, std::string_view b);
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);
// The text with every CR and LF taken out: a value stored as one line of a
// file must not shift the lines after it.
std::string WithoutLineBreaks(std::string_view s);
// Splits on LF, dropping a CR before it; a final line without end is kept.
std::vector<std::string> SplitLines(std::string_view text);

// Latin-1 <-> UTF-8 for the few places that meet UTF-8 (stdout, file names).
std::string Latin1ToUtf8(std::string_view s);
std::string Utf8ToLatin1(std::string_view s);

}  // namespace qn
