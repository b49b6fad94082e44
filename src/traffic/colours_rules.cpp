#include "traffic/colours_rules.h"

#include "core/instance.h"
#include "traffic/traffic_windows.h"

namespace qn {

ColourSampleInfo SampleInfo(ColourSample s) {
  switch (s) {
    case ColourSample::Talk:
      return {"Ttalksample", "Talk Sample"};
    case ColourSample::Ann:
      return {"Tannsample", "Ann Sample"};
    case ColourSample::Dx:
      return {"tdxsample", "Dx Sample"};
    case ColourSample::Rx:
      return {"trxsample", "Rx Sample"};
    case ColourSample::Tx:
      return {"tTxsample", "Tx Sample"};
  }
  return {"Ttalksample", "Talk Sample"};
}

std::int32_t Rgb(int red, int green, int blue) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(blue & 0xFF) << 16) |
                                   (static_cast<std::uint32_t>(green & 0xFF) << 8) |
                                   static_cast<std::uint32_t>(red & 0xFF));
}
int RedOf(std::int32_t colour) { return static_cast<int>(static_cast<std::uint32_t>(colour) & 0xFF); }
int GreenOf(std::int32_t colour) {
  return static_cast<int>((static_cast<std::uint32_t>(colour) >> 8) & 0xFF);
}
int BlueOf(std::int32_t colour) {
  return static_cast<int>((static_cast<std::uint32_t>(colour) >> 16) & 0xFF);
}

ColoursRules::ColoursRules(const AppSettings& s)
    : samples_{s.talkColours, s.announcementColours, s.spotColours, s.terminalColours, s.typedInputColours} {
  SelectSample(ColourSample::Talk);
}

void ColoursRules::SelectSample(ColourSample s) {
  current_ = s;
  std::int32_t c = samples_[Index(s)].back;
  red_ = RedOf(c);
  green_ = GreenOf(c);
  blue_ = BlueOf(c);
}

void ColoursRules::Foreground() { samples_[Index(current_)].text = Mixed(); }
void ColoursRules::Background() { samples_[Index(current_)].back = Mixed(); }

void ColoursRules::StoreInto(AppSettings& s) const {
  s.talkColours = samples_[Index(ColourSample::Talk)];
  s.announcementColours = samples_[Index(ColourSample::Ann)];
  s.spotColours = samples_[Index(ColourSample::Dx)];
  s.terminalColours = samples_[Index(ColourSample::Rx)];
  s.typedInputColours = samples_[Index(ColourSample::Tx)];
}

void ColoursRules::Save(Instance& app, TrafficWindows* windows) const {
  StoreInto(app.Settings());
  if (windows && windows->applyColours) windows->applyColours();
  app.SaveSettings();
}

}  // namespace qn
