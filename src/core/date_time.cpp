#include "core/date_time.h"

#include <cmath>
#include <cstdio>

namespace qn {

namespace {

// Days from 1970-01-01 for a civil date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

constexpr long kSerialEpochFrom1970 = 25569;  // 1899-12-30 to 1970-01-01

}  // namespace

double DateTime::ToSerial() const {
  double days = static_cast<double>(DaysFromCivil(year, month, day) + kSerialEpochFrom1970);
  return days + SecondsSinceMidnight() / 86400.0;
}

DateTime DateTime::FromSerial(double serial) {
  DateTime t;
  double whole = std::floor(serial);
  // Round to the millisecond so that adding hours/24 does not lose a second.
  long long ms = std::llround((serial - whole) * 86400000.0);
  if (ms >= 86400000LL) {
    ms -= 86400000LL;
    whole += 1;
  }
  CivilFromDays(static_cast<long>(whole) - kSerialEpochFrom1970, t.year, t.month, t.day);
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::string DateTime::Format(const std::string& pattern) const {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string out;
  bool afterHour = false;
  for (std::size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    char buf[16];
    auto two = [&](int v) {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", v);
      out += buf;
    };
    switch (c) {
      case 'h': case 'H': two(hour); afterHour = true; break;
      case 'n': case 'N': two(minute); break;
      case 's': case 'S': two(second); break;
      case 'd': case 'D': two(day); break;
      case 'y': case 'Y':
        std::snprintf(buf, sizeof buf, run >= 4 ? "%04d" : "%02d", run >= 4 ? year : year % 100);
        out += buf;
        break;
      case 'm': case 'M':
        if (afterHour && run <= 2) {
          two(minute);
        } else if (run >= 3) {
          out += kMonths[(month + 11) % 12];
        } else {
          two(month);
        }
        break;
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

}  // namespace qn
