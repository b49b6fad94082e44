#include "traffic/filters.h"

#include "core/app_settings.h"
#include "core/files.h"
#include "core/text.h"

namespace qn {

namespace {

bool IsLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Only the first occurrence of the word counts, and only when it stands alone
// on the left (as letterOrDigitBefore says) and no letter follows it.
bool WordMatches(std::string_view text, std::string_view word, bool digitMayPrecede) {
  std::size_t at = text.find(word);
  if (at == std::string_view::npos) return false;
  char before = at > 0 ? text[at - 1] : ' ';
  std::size_t end = at + word.size();
  char after = end < text.size() ? text[end] : ' ';
  if (IsLetter(before) || (!digitMayPrecede && IsDigit(before))) return false;
  return !IsLetter(after);
}

}  // namespace

std::vector<std::string> SplitFilterWords(std::string_view list) {
  std::string rest = Trim(UCase(list)) + ",";
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < rest.size()) {
    std::size_t cut = rest.find_first_of(", ", start);
    if (cut == std::string::npos) cut = rest.size();
    std::string word = Trim(std::string_view(rest).substr(start, cut - start));
    if (!word.empty()) words.push_back(std::move(word));
    start = cut + 1;
  }
  return words;
}

bool PassesFrequencyAndWords(const std::array<std::string, 10>& lowLimits,
                             const std::array<std::string, 10>& highLimits,
                             const std::vector<std::string>& selectWords,
                             const std::vector<std::string>& rejectWords, std::string_view frequency,
                             std::string_view line) {
  std::string_view body = line;
  if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
  if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
  if (!body.empty() && body.back() == '\n') body.remove_suffix(1);

  // Single precision, so limits typed with a fraction compare as they always have.
  const float f = static_cast<float>(Val(frequency));
  for (std::size_t i = 0; i < highLimits.size(); ++i) {
    const float hi = static_cast<float>(Val(highLimits[i]));
    if (hi == 0) break;
    const float lo = static_cast<float>(Val(lowLimits[i]));
    if (lo <= f && f <= hi) return false;
  }

  if (!selectWords.empty()) {
    std::string text = " " + UCase(body) + " ";
    for (const std::string& w : selectWords)
      if (WordMatches(text, w, false)) return true;
    return false;
  }
  if (!rejectWords.empty()) {
    std::string text = " " + Trim(UCase(body)) + " ";
    for (const std::string& w : rejectWords)
      if (WordMatches(text, w, true)) return false;
  }
  return true;
}

void AreaList::Clear() {
  text_.clear();
  prefixes_.clear();
  longest_ = 0;
}

void AreaList::Load(const DataFolder& folder) {
  Clear();
  if (auto text = folder.Read(kFilterFile)) LoadText(*text);
}

void AreaList::LoadText(std::string_view fileText) {
  Clear();
  for (const std::string& raw : SplitLines(fileText)) {
    std::string line = UCase(Trim(raw));
    if (line.empty() || line[0] == '\'') continue;
    text_ += line + ";";
    longest_ = std::max(longest_, line.size());
    // The list is searched for ";" + prefix + ";", so a ";" inside a line
    // separates prefixes just as a line end does.
    std::size_t start = 0;
    while (start <= line.size()) {
      std::size_t cut = line.find(';', start);
      if (cut == std::string::npos) cut = line.size();
      if (cut > start) prefixes_.insert(line.substr(start, cut - start));
      start = cut + 1;
    }
  }
  if (!text_.empty()) text_.insert(text_.begin(), ';');
}

bool AreaList::Passes(std::string_view spotter) const {
  if (text_.empty()) return true;
  std::string call = UCase(spotter);
  for (std::size_t k = std::min(longest_, call.size()); k >= 1; --k) {
    if (call.size() > k && IsDigit(call[k])) {
      if (prefixes_.count(call.substr(0, k)) || prefixes_.count(call.substr(0, k + 1))) return true;
    }
  }
  return false;
}

const std::vector<std::string>& Filters::Words(CachedWords& cache, const std::string& list) {
  if (!cache.valid || cache.source != list) {
    cache.source = list;
    cache.words = SplitFilterWords(list);
    cache.valid = true;
  }
  return cache.words;
}

bool Filters::PassesFrequencyAndWords(std::string_view frequency, std::string_view line) {
  return qn::PassesFrequencyAndWords(settings_.exclusionLow, settings_.exclusionHigh,
                                     Words(select_, settings_.selectWords),
                                     Words(reject_, settings_.rejectWords), frequency, line);
}

void Filters::LoadAreaList(const DataFolder& folder) {
  area_.Clear();
  if (settings_.dxDeFilterEnabled) area_.Load(folder);
}

}  // namespace qn
