#include "ui/window_layout.h"

#include <algorithm>

#include "traffic/traffic_windows.h"

namespace qn {

QRect TwipsToPixels(const Rect& t) {
  return QRect(t.left / kTwipsPerPixel, t.top / kTwipsPerPixel, t.width / kTwipsPerPixel,
               t.height / kTwipsPerPixel);
}

Rect PixelsToTwips(const QRect& p) {
  return Rect{p.x() * kTwipsPerPixel, p.y() * kTwipsPerPixel, p.width() * kTwipsPerPixel,
              p.height() * kTwipsPerPixel};
}

Rect& StoredRect(Positions& positions, WindowId id) {
  switch (id) {
    case WindowId::Terminal:
      return positions.terminal;
    case WindowId::Spots:
      return positions.spots;
    case WindowId::Announcements:
      return positions.announcements;
    case WindowId::Talks:
      return positions.talks;
    case WindowId::TypedInput:
      return positions.typedInput;
  }
  return positions.terminal;
}

WindowId WindowOfOrderCode(int code) { return WindowOfCode(code); }

int OrderCodeOf(WindowId id) { return WindowCode(id); }

QRect DefaultChildRect(WindowId id, QSize area) {
  const int w = std::max(area.width(), 320);
  const int h = std::max(area.height(), 240);
  const int inputH = std::max(70, h * 15 / 100);
  const int upperH = h - inputH;
  const int leftW = w * 60 / 100;
  const int rightW = w - leftW;
  const int spotsH = upperH / 2;
  const int annH = (upperH - spotsH) / 2;
  switch (id) {
    case WindowId::Terminal:
      return QRect(0, 0, leftW, upperH);
    case WindowId::Spots:
      return QRect(leftW, 0, rightW, spotsH);
    case WindowId::Announcements:
      return QRect(leftW, spotsH, rightW, annH);
    case WindowId::Talks:
      return QRect(leftW, spotsH + annH, rightW, upperH - spotsH - annH);
    case WindowId::TypedInput:
      return QRect(0, upperH, w, inputH);
  }
  return QRect(0, 0, w, h);
}

}  // namespace qn
