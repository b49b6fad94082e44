// Window rectangles of one instance, kept in twips (15 twips a pixel at 96 dpi):
// lines 1-24 six rectangles (frame, terminal, typed input, spots, talks,
// announcements: left, top, width, height), lines 25-29 the stacking order.
//   Example: "0\r\n0\r\n19200\r\n14400\r\n..."
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/session_kind.h"

namespace qn {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kNoStoredLeft = -10000;

struct Positions {
  Rect frame;               // twips; width 0 = the size of the screen
  Rect terminal{kNoStoredLeft, 0, 0, 0};
  Rect typedInput{kNoStoredLeft, 0, 0, 0};
  Rect spots{kNoStoredLeft, 0, 0, 0};
  Rect talks{kNoStoredLeft, 0, 0, 0};
  Rect announcements{kNoStoredLeft, 0, 0, 0};
  // 1 announcements, 2 talks, 3 spots, 4 typed input, 5 terminal; created in this order.
  std::array<int, 5> order{1, 2, 3, 4, 5};

  bool operator==(const Positions&) const = default;
  bool ChildrenStored() const { return terminal.left != kNoStoredLeft; }

  std::string Serialise() const;
  void Parse(std::string_view fileText);
};

// "qln1.pos", "qlntnc2.pos", "qlnweb1.pos".
std::string PositionFileName(SessionKind kind, int instanceNumber);

}  // namespace qn
