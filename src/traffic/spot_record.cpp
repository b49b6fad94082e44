#include "traffic/spot_record.h"

#include "core/text.h"

namespace qn {

double SpotRecord::FrequencyKhz() const {
  double v = Val(frequency);
  // "-0" reads as minus zero; comparisons and printing want a plain 0.
  return v == 0 ? 0.0 : v;
}

int SourceNumber(SpotSource source) { return static_cast<int>(source); }

SpotSource SourceFromNumber(int number) {
  switch (number) {
    case 2:
      return SpotSource::Link;
    case 3:
      return SpotSource::Serial;
    case 4:
      return SpotSource::Node;
    default:
      return SpotSource::Main;
  }
}

bool IsSerialSide(SpotSource source) { return source == SpotSource::Serial; }

std::string_view LineClassName(LineClass c) {
  switch (c) {
    case LineClass::Spot:
      return "Spot";
    case LineClass::Announcement:
      return "Announcement";
    case LineClass::Talk:
      return "Talk";
    case LineClass::Continuation:
      return "Continuation";
    case LineClass::Other:
      break;
  }
  return "Other";
}

}  // namespace qn
