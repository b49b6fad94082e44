// The start-up splash: a small frameless, top-most window with the program's
// name and version, centred on the frame's rectangle. The core decides when
// it shows (FrameState::SplashVisible); this only draws it.
#pragma once

#include <QRect>
#include <QWidget>

namespace qn {

class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  // 2205 x 3015 twips.
  static constexpr int kWidth = 147;
  static constexpr int kHeight = 201;

  explicit SplashWindow(QWidget* parent = nullptr);
  void ShowCentredOn(const QRect& frame);
};

}  // namespace qn
