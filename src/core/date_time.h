// A local date and time with the serial-day arithmetic that UTC offsets use.
#pragma once

#include <string>

namespace qn {

struct DateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;

  // Days since 1899-12-30 plus the fraction of the day: the serial date form
  // that offsets in days are added to.
  double ToSerial() const;
  static DateTime FromSerial(double serial);
  // "hh:mm:ss", "hhnn" and the like: h, n (minutes), s, d, m, y runs as in the
  // formats the program uses ("hh:mm:ss" reads mm as minutes after hh).
  std::string Format(const std::string& pattern) const;
  double SecondsSinceMidnight() const { return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0; }
  bool operator==(const DateTime&) const = default;
};

}  // namespace qn
