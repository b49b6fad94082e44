// The rules of the spot filter dialog frmcfgfl: what it shows, the area-list
// check on ticking Chkde, the FILTER.TXT editor, and what "&Save" stores. The
// Qt dialog and the console lay it out; the filters themselves are Filters.
#pragma once

#include <array>
#include <string>

namespace qn {

class Filters;
class Instance;

inline constexpr const char* kFilterDialogCaption = "Quillnet: Spot Filters Configuration";
inline constexpr const char* kNoFilterFile = "File FILTER.TXT not found; can't enable this option";

struct FilterFields {
  std::array<std::string, 10> low;   // Tl(0..9)
  std::array<std::string, 10> high;  // Th(0..9)
  std::string selectWords;           // Txtselfilter
  std::string rejectWords;           // Txtrejfilter
  bool dxDeFilter = false;           // Chkde
  bool rejectOld = false;            // Chkrejold
};

class FilterRules {
 public:
  FilterRules(Instance& app, Filters* filters) : app_(app), filters_(filters) {}

  FilterFields Load() const;
  // Ticking Chkde: refused with a warning when there is no FILTER.TXT.
  // Returns the state the box is left in.
  bool TickDxDe(bool ticked);
  // "&Area list": the whole FILTER.TXT for the editor, lines ending in CR LF.
  std::string OpenAreaList();
  bool AreaListShown() const { return areaListShown_; }
  // "&Save" with the area-list editor shown: FILTER.TXT replaced by the text
  // as typed; the dialog stays open with the ranges shown again. False when
  // the file could not be written (the editor stays).
  bool SaveAreaList(const std::string& text);
  // "&Save" otherwise: the settings stored and saved, the area list rebuilt.
  void Save(const FilterFields& fields);

 private:
  Instance& app_;
  Filters* filters_;
  bool areaListShown_ = false;
};

}  // namespace qn
