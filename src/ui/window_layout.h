// Where the frame and its five windows go: the stored rectangles in twips
// converted to pixels, and the default arrangement used when none is stored.
#pragma once

#include <QRect>
#include <QSize>

#include "core/positions.h"
#include "core/text_window.h"

namespace qn {

// Stored positions are twips of a 96-dpi screen: 15 twips to a pixel.
QRect TwipsToPixels(const Rect& twips);
Rect PixelsToTwips(const QRect& pixels);

// The stored rectangle of one child window.
Rect& StoredRect(Positions& positions, WindowId id);
// The window a stacking-order code names (1 announcements, 2 talks, 3 spots,
// 4 typed input, 5 terminal), and back.
WindowId WindowOfOrderCode(int code);
int OrderCodeOf(WindowId id);

// The default arrangement in an area of the given size: the terminal large on
// the left, spots at the top right with announcements and talks below them,
// the typed-input window along the bottom.
QRect DefaultChildRect(WindowId id, QSize area);

}  // namespace qn
