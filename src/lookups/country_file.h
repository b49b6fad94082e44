// The country file cty.dat (Debian's hamradio-files): DXCC entities with
// their zones, continent, position and time offset, and the prefixes and
// exact calls ("=") that belong to them. A record is a header line and its
// alias list, ended by ";":
//   Monaco:                   14:  27:  EU:   43.73:    -7.40:    -1.0:  3A:
//       3A,=3A/4Z5KJ/LH;
// Longitudes and time offsets in the file count west positive; here east is.
// An alias may carry overrides: (cq zone) [itu zone] <lat/lon> {continent} ~offset~.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

struct CountryEntity {
  std::string name;
  std::string prefix;  // the entity's main prefix
  int cqZone = 0;
  int ituZone = 0;
  std::string continent;
  double lat = 0;
  double lon = 0;        // east positive
  double utcOffset = 0;  // hours, local time = UTC + offset
};

// What a call or prefix resolves to: the entity with the alias's overrides applied.
struct CountryMatch {
  CountryEntity entity;  // zones, continent, position and offset as overridden
  std::string matched;   // the prefix or exact call that matched
  bool exactCall = false;
};

class CountryFile {
 public:
  enum class State { Missing, Loaded, Damaged };

  // Reads the file's text; what stands before a damaged place is kept.
  State Parse(std::string_view text);
  State Load(const std::string& path);
  State GetState() const { return state_; }
  std::size_t EntityCount() const { return entities_.size(); }

  // Exact calls first, then the longest prefix. A portable call ("DL/G4ABC",
  // "G4ABC/P", "W1AW/4") is looked up by the part that names the country.
  std::optional<CountryMatch> Lookup(std::string_view call) const;

 private:
  struct Alias {
    std::size_t entity = 0;
    int cqZone = 0, ituZone = 0;  // 0: the entity's
    std::string continent;
    std::optional<double> lat, lon, utcOffset;
  };
  bool ParseAlias(std::string_view token, std::size_t entity);
  CountryMatch MatchOf(const Alias& a, const std::string& key, bool exact) const;
  std::optional<CountryMatch> LookupPlain(const std::string& call) const;

  State state_ = State::Missing;
  std::vector<CountryEntity> entities_;
  std::map<std::string, Alias> prefixes_;
  std::map<std::string, Alias> exact_;
};

// The part of a portable call that names the country: suffixes such as "/P",
// "/QRP" or a call-area digit are dropped, and of two calls the shorter wins.
std::string CountryPartOfCall(std::string_view call);

}  // namespace qn
