#include "traffic/filter_rules.h"

#include "core/instance.h"
#include "core/text.h"
#include "traffic/filters.h"

namespace qn {

FilterFields FilterRules::Load() const {
  const AppSettings& s = app_.Settings();
  FilterFields f;
  f.low = s.exclusionLow;
  f.high = s.exclusionHigh;
  f.selectWords = s.selectWords;
  f.rejectWords = s.rejectWords;
  f.dxDeFilter = s.dxDeFilterEnabled;
  f.rejectOld = s.rejectOldSpots;
  return f;
}

bool FilterRules::TickDxDe(bool ticked) {
  if (!ticked || app_.Folder().Exists(kFilterFile)) return ticked;
  app_.Prompt().MessageBox(kNoFilterFile, MsgIcon::Exclamation);
  return false;
}

std::string FilterRules::OpenAreaList() {
  areaListShown_ = true;
  std::string text;
  if (auto file = app_.Folder().Read(kFilterFile)) {
    for (const std::string& line : SplitLines(*file)) text += line + "\r\n";
  }
  return text;
}

bool FilterRules::SaveAreaList(const std::string& text) {
  if (!app_.Folder().WriteAtomic(kFilterFile, text)) {
    app_.Prompt().MessageBox(std::string("The area list could not be saved to ") + kFilterFile,
                             MsgIcon::Exclamation);
    return false;
  }
  areaListShown_ = false;
  return true;
}

void FilterRules::Save(const FilterFields& fields) {
  AppSettings& s = app_.Settings();
  for (std::size_t i = 0; i < fields.low.size(); ++i) {
    s.exclusionLow[i] = WithoutLineBreaks(fields.low[i]);
    s.exclusionHigh[i] = WithoutLineBreaks(fields.high[i]);
  }
  s.selectWords = WithoutLineBreaks(fields.selectWords);
  s.rejectWords = WithoutLineBreaks(fields.rejectWords);
  s.dxDeFilterEnabled = fields.dxDeFilter;
  s.rejectOldSpots = fields.rejectOld;
  app_.SaveSettings();
  if (filters_) filters_->LoadAreaList(app_.Folder());
}

}  // namespace qn
