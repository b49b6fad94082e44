// The desktop ports the frame's own commands use (printer, help viewer,
// memory figures), owned by the frame.
#pragma once

#include "platform/qt/qt_desktop.h"

namespace qn {

class FrameDesktop {
 public:
  QtPrinter printer;
  QtHelpViewer help;
  LinuxSystemMemory memory;
};

}  // namespace qn
