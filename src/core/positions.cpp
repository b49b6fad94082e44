#include "core/positions.h"

#include "core/text.h"

namespace qn {

std::string PositionFileName(SessionKind kind, int instanceNumber) {
  const char* stem = kind == SessionKind::Tnc ? "qlntnc" : kind == SessionKind::Web ? "qlnweb" : "qln";
  return std::string(stem) + std::to_string(instanceNumber) + ".pos";
}

std::string Positions::Serialise() const {
  std::string out;
  for (const Rect* r : {&frame, &terminal, &typedInput, &spots, &talks, &announcements}) {
    for (int v : {r->left, r->top, r->width, r->height}) out += std::to_string(v) + "\r\n";
  }
  for (int w : order) out += std::to_string(w) + "\r\n";
  return out;
}

void Positions::Parse(std::string_view text) {
  Rect* rects[] = {&frame, &terminal, &typedInput, &spots, &talks, &announcements};
  int n = 0;
  for (const auto& line : SplitLines(text)) {
    ++n;
    if (n > 29) break;
    int v = ValInt32(line);
    if (n <= 24) {
      Rect& r = *rects[(n - 1) / 4];
      int* fields[] = {&r.left, &r.top, &r.width, &r.height};
      *fields[(n - 1) % 4] = v;
    } else {
      order[static_cast<std::size_t>(n - 25)] = v;
    }
  }
  // An order that does not name each window once would lose a window.
  std::array<bool, 6> seen{};
  bool valid = true;
  for (int w : order) {
    if (w < 1 || w > 5 || seen[static_cast<std::size_t>(w)]) valid = false;
    else seen[static_cast<std::size_t>(w)] = true;
  }
  if (!valid) order = {1, 2, 3, 4, 5};
}

}  // namespace qn
