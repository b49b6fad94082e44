// Time as the program sees it: local wall time, a monotonic millisecond tick.
#pragma once

#include <cstdint>

namespace qn {

// A value type of the core; whoever reads the time includes core/date_time.h.
struct DateTime;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime LocalNow() const = 0;
  // Monotonic milliseconds from an arbitrary origin.
  virtual std::int64_t TickMs() const = 0;
};

}  // namespace qn
