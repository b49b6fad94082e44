// The Clock port on the system clock: local wall time from QDateTime and a
// monotonic tick from QElapsedTimer.
#pragma once

#include <QElapsedTimer>

#include "core/date_time.h"
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
