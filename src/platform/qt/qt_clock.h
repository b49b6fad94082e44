// The Clock port: the system's local time and a monotonic tick.
#pragma once

#include <QElapsedTimer>

#include "platform/clock.h"

namespace qn {

class QtClock : public Clock {
 public:
  QtClock() { elapsed_.start(); }
  DateTime LocalNow() const override;
  std::int64_t TickMs() const override { return elapsed_.elapsed(); }

 private:
  QElapsedTimer elapsed_;
};

}  // namespace qn
