#include "platform/qt/qt_clock.h"

#include <QDateTime>

namespace qn {

DateTime QtClock::LocalNow() const {
  QDateTime now = QDateTime::currentDateTime();
  QDate d = now.date();
  QTime t = now.time();
  return DateTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

}  // namespace qn
