// Owns the spot filters: the frequency exclusion ranges and the select and
// reject word lists (read from AppSettings on every spot), and the "DX de" area
// list built from FILTER.TXT. The spot pipeline asks it; the filter dialog
// reloads it. FILTER.TXT holds one spotter prefix a line, "'" starts a comment:
//   ' Europe only
//   DL
//   I
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qn {

class DataFolder;
struct AppSettings;

inline constexpr const char* kFilterFile = "FILTER.TXT";

// The word lists as the filter cuts them: at "," or blank, trimmed, no empties.
std::vector<std::string> SplitFilterWords(std::string_view list);

// The range and word part of the filter on one spot: frequency as received,
// line the normalised spot line.
bool PassesFrequencyAndWords(const std::array<std::string, 10>& lowLimits,
                             const std::array<std::string, 10>& highLimits,
                             const std::vector<std::string>& selectWords,
                             const std::vector<std::string>& rejectWords, std::string_view frequency,
                             std::string_view line);

// The spotter prefixes of FILTER.TXT. Empty: every spotter passes.
class AreaList {
 public:
  // Reads FILTER.TXT; a missing file leaves the list empty.
  void Load(const DataFolder& folder);
  void LoadText(std::string_view fileText);
  void Clear();
  bool Empty() const { return text_.empty(); }
  // ";P1;P2;...;", as the prefixes were read.
  const std::string& Text() const { return text_; }
  std::size_t LongestPrefix() const { return longest_; }
  bool Passes(std::string_view spotter) const;

 private:
  std::string text_;
  std::unordered_set<std::string> prefixes_;
  std::size_t longest_ = 0;
};

// The filters of one instance, on the settings they were given.
class Filters {
 public:
  explicit Filters(const AppSettings& settings) : settings_(settings) {}

  bool PassesFrequencyAndWords(std::string_view frequency, std::string_view line);
  bool PassesArea(std::string_view spotter) const { return area_.Passes(spotter); }
  // At start-up and after the dialog's Save: FILTER.TXT when the area filter is on.
  void LoadAreaList(const DataFolder& folder);
  AreaList& Area() { return area_; }

 private:
  // The word lists are cut again only when their text changed.
  struct CachedWords {
    std::string source;
    std::vector<std::string> words;
    bool valid = false;
  };
  const std::vector<std::string>& Words(CachedWords& cache, const std::string& list);

  const AppSettings& settings_;
  AreaList area_;
  CachedWords select_;
  CachedWords reject_;
};

}  // namespace qn
