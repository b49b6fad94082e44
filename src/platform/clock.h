// Time as the program sees it: local wall time, a monotonic millisecond tick.
#pragma once

#include <cstdint>

#include "core/date_time.h"

namespace qn {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime LocalNow() const = 0;
  // Monotonic milliseconds from an arbitrary origin.
  virtual std::int64_t TickMs() const = 0;
  double SecondsSinceMidnight() const { return LocalNow().SecondsSinceMidnight(); }
};

}  // namespace qn
