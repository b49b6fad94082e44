#include "lookups/country_file.h"

#include <array>

#include "core/files.h"
#include "core/text.h"

namespace qn {

namespace {

std::vector<std::string> SplitOn(std::string_view s, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t p = s.find(sep, start);
    parts.emplace_back(s.substr(start, p == std::string_view::npos ? std::string_view::npos : p - start));
    if (p == std::string_view::npos) break;
    start = p + 1;
  }
  return parts;
}

// Text between open and close in token, taken out of it; empty when absent.
std::string TakeBetween(std::string& token, char open, char close) {
  auto a = token.find(open);
  if (a == std::string::npos) return {};
  auto b = token.find(close, a + 1);
  if (b == std::string::npos) return {};
  std::string inside = token.substr(a + 1, b - a - 1);
  token.erase(a, b - a + 1);
  return inside;
}

bool IsNumber(std::string_view s) {
  bool digit = false;
  for (char c : s) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (c != '.' && c != '-' && c != '+' && c != ' ')
      return false;
  }
  return digit;
}

}  // namespace

std::string CountryPartOfCall(std::string_view call) {
  static constexpr std::array<std::string_view, 10> kSuffixes{"P",    "M", "MM", "AM", "QRP",
                                                              "QRPP", "A", "B",  "LH", "R"};
  std::vector<std::string> parts;
  for (std::string& p : SplitOn(UCase(Trim(call)), '/')) {
    if (p.empty()) continue;
    bool suffix = false;
    for (auto s : kSuffixes) suffix = suffix || p == s;
    bool digits = p.find_first_not_of("0123456789") == std::string::npos;
    if (!suffix && !digits) parts.push_back(p);
  }
  if (parts.empty()) return UCase(Trim(call));
  if (parts.size() == 1) return parts[0];
  // Prefix and home call either way round: the shorter part is where the
  // station operates.
  return parts[1].size() < parts[0].size() ? parts[1] : parts[0];
}

CountryFile::State CountryFile::Load(const std::string& path) {
  auto text = ReadFile(path);
  if (!text) {
    *this = CountryFile{};
    return state_;
  }
  return Parse(*text);
}

CountryFile::State CountryFile::Parse(std::string_view text) {
  entities_.clear();
  prefixes_.clear();
  exact_.clear();
  bool damaged = false;
  bool inAliases = false;
  std::string pending;  // header text gathered up to its 8th colon
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (line.empty()) continue;
    if (!inAliases) {
      pending += line;
      auto fields = SplitOn(pending, ':');
      if (fields.size() < 9) continue;
      auto num = [&](std::size_t i) { return Val(Trim(fields[i])); };
      if (!IsNumber(fields[1]) || !IsNumber(fields[2]) || !IsNumber(fields[4]) || !IsNumber(fields[5]) ||
          !IsNumber(fields[6])) {
        damaged = true;
        break;
      }
      CountryEntity e;
      e.name = Trim(fields[0]);
      e.cqZone = static_cast<int>(num(1));
      e.ituZone = static_cast<int>(num(2));
      e.continent = UCase(Trim(fields[3]));
      e.lat = num(4);
      e.lon = -num(5);
      e.utcOffset = -num(6);
      e.prefix = Trim(fields[7]);
      entities_.push_back(e);
      pending.clear();
      inAliases = true;
      continue;
    }
    bool ends = line.find(';') != std::string::npos;
    std::string list = line.substr(0, line.find(';'));
    for (const std::string& token : SplitOn(list, ',')) {
      std::string t = Trim(token);
      if (!t.empty() && !ParseAlias(t, entities_.size() - 1)) damaged = true;
    }
    if (ends) inAliases = false;
  }
  // A file cut short ends inside a record; what was read still answers.
  if (inAliases || !Trim(pending).empty()) damaged = true;
  if (entities_.empty()) damaged = true;
  state_ = damaged ? State::Damaged : State::Loaded;
  return state_;
}

bool CountryFile::ParseAlias(std::string_view token, std::size_t entity) {
  std::string t(token);
  bool exact = !t.empty() && t[0] == '=';
  if (exact) t.erase(0, 1);
  Alias a;
  a.entity = entity;
  std::string cq = TakeBetween(t, '(', ')');
  std::string itu = TakeBetween(t, '[', ']');
  std::string pos = TakeBetween(t, '<', '>');
  std::string cont = TakeBetween(t, '{', '}');
  std::string offset = TakeBetween(t, '~', '~');
  if (!cq.empty()) a.cqZone = static_cast<int>(Val(cq));
  if (!itu.empty()) a.ituZone = static_cast<int>(Val(itu));
  if (!cont.empty()) a.continent = UCase(cont);
  if (auto slash = pos.find('/'); slash != std::string::npos) {
    a.lat = Val(pos.substr(0, slash));
    a.lon = -Val(pos.substr(slash + 1));
  }
  if (!offset.empty()) a.utcOffset = -Val(offset);
  t = UCase(Trim(t));
  if (t.empty() || t.find_first_of("()[]<>{}~ ") != std::string::npos) return false;
  (exact ? exact_ : prefixes_)[t] = a;
  return true;
}

CountryMatch CountryFile::MatchOf(const Alias& a, const std::string& key, bool exact) const {
  CountryMatch m;
  m.entity = entities_[a.entity];
  if (a.cqZone) m.entity.cqZone = a.cqZone;
  if (a.ituZone) m.entity.ituZone = a.ituZone;
  if (!a.continent.empty()) m.entity.continent = a.continent;
  if (a.lat) m.entity.lat = *a.lat;
  if (a.lon) m.entity.lon = *a.lon;
  if (a.utcOffset) m.entity.utcOffset = *a.utcOffset;
  m.matched = key;
  m.exactCall = exact;
  return m;
}

std::optional<CountryMatch> CountryFile::LookupPlain(const std::string& call) const {
  if (auto it = exact_.find(call); it != exact_.end()) return MatchOf(it->second, it->first, true);
  for (std::size_t n = call.size(); n > 0; --n) {
    auto it = prefixes_.find(call.substr(0, n));
    if (it != prefixes_.end()) return MatchOf(it->second, it->first, false);
  }
  return std::nullopt;
}

std::optional<CountryMatch> CountryFile::Lookup(std::string_view call) const {
  std::string whole = UCase(Trim(call));
  if (whole.empty()) return std::nullopt;
  // Some portable calls are listed as they stand.
  if (auto it = exact_.find(whole); it != exact_.end()) return MatchOf(it->second, it->first, true);
  return LookupPlain(CountryPartOfCall(whole));
}

}  // namespace qn
