#include "rig/spot_tuning.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <span>
#include <vector>

#include "core/text.h"
#include "traffic/spot_line.h"

namespace qn {

namespace {

constexpr std::int64_t kKHz = 1000;
// Spots are 75 columns; a longer "comment" is somebody's paste, and its first
// words are what counts.
constexpr std::size_t kCommentScan = 512;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text.substr(0, kCommentScan)) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!word.empty()) words.push_back(UCase(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(UCase(word));
  return words;
}

struct ModeWord {
  SpotMode mode = SpotMode::None;
  std::string word;
};

SpotMode ModeOfWord(const std::string& w) {
  static const std::array<std::pair<const char*, SpotMode>, 36> kWords = {{
      {"CW", SpotMode::Cw},          {"A1A", SpotMode::Cw},       {"SSB", SpotMode::Ssb},
      {"USB", SpotMode::Ssb},        {"LSB", SpotMode::Ssb},      {"PHONE", SpotMode::Ssb},
      {"FONE", SpotMode::Ssb},       {"SSTV", SpotMode::Ssb},     {"FT8", SpotMode::Data},
      {"FT4", SpotMode::Data},       {"JT65", SpotMode::Data},    {"JT9", SpotMode::Data},
      {"JT4", SpotMode::Data},       {"Q65", SpotMode::Data},     {"MSK144", SpotMode::Data},
      {"JS8", SpotMode::Data},       {"JS8CALL", SpotMode::Data}, {"WSPR", SpotMode::Data},
      {"FST4", SpotMode::Data},      {"FST4W", SpotMode::Data},   {"OLIVIA", SpotMode::Data},
      {"CONTESTIA", SpotMode::Data}, {"THOR", SpotMode::Data},    {"HELL", SpotMode::Data},
      {"DIGI", SpotMode::Data},      {"DATA", SpotMode::Data},    {"PACKET", SpotMode::Data},
      {"VARA", SpotMode::Data},      {"PACTOR", SpotMode::Data},  {"FSK441", SpotMode::Data},
      {"RTTY", SpotMode::Rtty},      {"BAUDOT", SpotMode::Rtty},  {"AM", SpotMode::Am},
      {"FM", SpotMode::Fm},          {"NBFM", SpotMode::Fm},      {"C4FM", SpotMode::Fm},
  }};
  for (const auto& [text, mode] : kWords)
    if (w == text) return mode;
  // Families with their variants: PSK31, BPSK63, MFSK16, JT65A, OLIVIA8.
  for (const char* prefix : {"PSK", "BPSK", "QPSK", "MFSK", "JT65", "OLIVIA"})
    if (StartsWith(w, prefix) && w.size() <= std::string_view(prefix).size() + 4) return SpotMode::Data;
  return SpotMode::None;
}

ModeWord FirstModeWord(std::string_view comment) {
  for (const std::string& w : Words(comment)) {
    // "FT8-12" and "CW/SSB" hold the mode in their first part.
    std::string first;
    for (char c : w) {
      if (!IsAlnum(c)) {
        if (!first.empty()) break;
        continue;
      }
      first += c;
    }
    SpotMode m = ModeOfWord(first);
    if (m != SpotMode::None) return {m, first};
  }
  return {};
}

// Dial frequencies in kHz of the modes whose signals sit within 3 kHz above it.
constexpr std::array<double, 12> kFt8Dials = {1840,  3573,  5357,  7074,  10136, 14074,
                                              18100, 21074, 24915, 28074, 50313, 144174};
constexpr std::array<double, 10> kFt4Dials = {3575,  7047.5, 10140, 14080, 18104,
                                              21140, 24919,  28180, 50318, 144170};
constexpr std::array<double, 9> kJt65Dials = {1838, 3576, 7076, 10138, 14076, 18102, 21076, 24917, 28076};
constexpr std::array<double, 10> kWsprDials = {1836.6,  3568.6,  5287.2,  7038.6,  10138.7,
                                               14095.6, 18104.6, 21094.6, 24924.6, 28124.6};

std::optional<std::int64_t> DialBelow(std::span<const double> dials, std::int64_t hz) {
  for (double d : dials) {
    auto dial = static_cast<std::int64_t>(std::llround(d * kKHz));
    if (hz >= dial && hz <= dial + 3000) return dial;
  }
  return std::nullopt;
}

std::optional<std::int64_t> DataDial(const std::string& word, std::int64_t hz) {
  if (word == "FT4") return DialBelow(kFt4Dials, hz);
  if (word == "JT65" || word == "JT9" || StartsWith(word, "JT65")) return DialBelow(kJt65Dials, hz);
  if (word == "WSPR") return DialBelow(kWsprDials, hz);
  if (word.empty() || word == "FT8") return DialBelow(kFt8Dials, hz);
  return std::nullopt;
}

// "14.205", "7185", "1,5", "5-10" (the lower end), "2K", "2KHZ": the leading number.
struct Number {
  double value = 0;
  bool hasPoint = false;
};

std::optional<Number> LeadingNumber(std::string_view text) {
  Number n;
  std::string digits;
  for (char c : text) {
    if (IsDigit(c)) {
      digits += c;
    } else if ((c == '.' || c == ',') && !n.hasPoint && !digits.empty()) {
      n.hasPoint = true;
      digits += '.';
    } else {
      break;
    }
  }
  if (digits.empty() || digits.size() > 12) return std::nullopt;
  if (digits.back() == '.') {
    digits.pop_back();
    n.hasPoint = false;
  }
  n.value = Val(digits);
  return n;
}

bool Phone(SpotMode mode) { return mode == SpotMode::Ssb || mode == SpotMode::Am || mode == SpotMode::Fm; }

// A transmit frequency is taken only when it is near the receive one: a cross-band
// "QSX" is rare, a misread number is not.
constexpr std::int64_t kMaxSplitHz = 1000 * kKHz;

std::optional<std::int64_t> Near(std::int64_t tx, std::int64_t rx) {
  if (tx <= 0 || tx == rx || std::llabs(tx - rx) > kMaxSplitHz) return std::nullopt;
  return tx;
}

std::optional<std::int64_t> AbsoluteFrequency(const Number& n, std::int64_t rxHz) {
  auto hz = [](double khz) { return static_cast<std::int64_t>(std::llround(khz * kKHz)); };
  std::int64_t rxMHzBase = rxHz / (1000 * kKHz) * (1000 * kKHz);
  std::vector<std::int64_t> candidates;
  if (n.value >= 1000) {
    candidates.push_back(hz(n.value));  // kHz: "7185"
  } else if (n.value >= 100) {
    candidates.push_back(rxMHzBase + hz(n.value));  // kHz within the MHz: "205" on 14.195
  } else {
    candidates.push_back(hz(n.value * 1000));  // MHz: "14.205"
  }
  for (std::int64_t c : candidates)
    if (auto tx = Near(c, rxHz)) return tx;
  return std::nullopt;
}

enum class SplitKind { Up, Down, Absolute };

struct SplitKeyword {
  const char* text;
  SplitKind kind;
};

// Longest first, so "LISTENING" is not read as "LIS" with a remainder.
constexpr std::array<SplitKeyword, 10> kSplitKeywords = {{
    {"LISTENING", SplitKind::Absolute},
    {"LISTEN", SplitKind::Absolute},
    {"LSTNG", SplitKind::Absolute},
    {"LSTN", SplitKind::Absolute},
    {"DOWN", SplitKind::Down},
    {"QSX", SplitKind::Absolute},
    {"LSN", SplitKind::Absolute},
    {"LIS", SplitKind::Absolute},
    {"UP", SplitKind::Up},
    {"DN", SplitKind::Down},
}};

std::string StripEnds(const std::string& w) {
  std::size_t a = 0, b = w.size();
  while (a < b && !IsAlnum(w[a])) ++a;
  while (b > a && !IsAlnum(w[b - 1]) && w[b - 1] != '.') --b;
  return w.substr(a, b - a);
}

}  // namespace

SpotMode ModeFromComment(std::string_view comment) { return FirstModeWord(comment).mode; }

std::optional<std::int64_t> SplitFromComment(std::string_view comment, std::int64_t rxHz, SpotMode mode) {
  std::vector<std::string> words = Words(comment);
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::string w = StripEnds(words[i]);
    for (const SplitKeyword& k : kSplitKeywords) {
      std::string_view key = k.text;
      if (!StartsWith(w, key)) continue;
      std::string rest = w.substr(key.size());
      if (!rest.empty() && rest[0] == ':') rest.erase(0, 1);
      if (!rest.empty() && !IsDigit(rest[0])) break;
      std::optional<Number> n = LeadingNumber(rest);
      if (!rest.empty() && !n) break;
      if (!n) {
        std::size_t j = i + 1;
        while (j < words.size() && (words[j] == "ON" || words[j] == "AT" || words[j] == "TO")) ++j;
        if (j < words.size()) n = LeadingNumber(StripEnds(words[j]));
      }
      if (k.kind == SplitKind::Absolute) {
        if (!n) break;
        if (auto tx = AbsoluteFrequency(*n, rxHz)) return tx;
        break;
      }
      double khz = n ? n->value : (Phone(mode) ? 5 : 1);
      // "UP 14205": a frequency after all.
      if (khz >= 100) {
        if (auto tx = AbsoluteFrequency(*n, rxHz)) return tx;
        break;
      }
      auto offset = static_cast<std::int64_t>(std::llround(khz * kKHz));
      if (auto tx = Near(k.kind == SplitKind::Up ? rxHz + offset : rxHz - offset, rxHz)) return tx;
      break;
    }
  }
  return std::nullopt;
}

std::optional<SpotOnLine> ReadSpotLine(std::string_view line) {
  line = WithoutLineEnd(line);
  std::vector<std::string> words;
  std::string frequency;
  std::string rest;
  SpotOnLine spot;
  auto isFrequency = [](const std::string& f) {
    return !f.empty() && f.size() <= 14 && IsDigit(f[0]) &&
           std::all_of(f.begin(), f.end(), [](char c) { return IsDigit(c) || c == '.'; });
  };
  auto nextWord = [](std::string_view& s) {
    std::size_t a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) {
      s = {};
      return std::string();
    }
    std::size_t b = s.find(' ', a);
    std::string w(s.substr(a, b == std::string_view::npos ? std::string_view::npos : b - a));
    s = b == std::string_view::npos ? std::string_view() : s.substr(b);
    return w;
  };
  std::string_view tail;
  SpotFields fields = ParseSpotFields(line);
  if (fields.Understood() && StartsWith(UCase(Left(line, 6)), "DX DE ")) {
    tail = line.substr(fields.colon);
    frequency = nextWord(tail);
    spot.dxCall = nextWord(tail);
  } else {
    // The show commands' listing: frequency first, then the call.
    tail = line;
    frequency = nextWord(tail);
    spot.dxCall = nextWord(tail);
  }
  if (!isFrequency(frequency) || spot.dxCall.empty()) return std::nullopt;
  if (!std::any_of(spot.dxCall.begin(), spot.dxCall.end(), IsDigit)) return std::nullopt;
  double khz = Val(frequency);
  if (khz < 100 || khz > 300e6) return std::nullopt;
  spot.hz = static_cast<std::int64_t>(std::llround(khz * kKHz));

  // The comment without the time, the date and the spotter of the listing form.
  std::vector<std::string> kept;
  for (std::string w = nextWord(tail); !w.empty(); w = nextWord(tail)) kept.push_back(w);
  auto isTime = [](const std::string& w) {
    return w.size() == 5 && (w[4] == 'Z' || w[4] == 'z') && std::all_of(w.begin(), w.end() - 1, IsDigit);
  };
  auto isDate = [](const std::string& w) {
    return w.size() >= 8 && IsDigit(w[0]) && std::count(w.begin(), w.end(), '-') == 2;
  };
  auto isSpotter = [](const std::string& w) { return w.size() > 2 && w.front() == '<' && w.back() == '>'; };
  std::string comment;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const std::string& w = kept[i];
    if (isDate(w) || isSpotter(w)) continue;
    // The time ends a "DX de" line and stands before the comment in the listing.
    if (isTime(w) && (i + 1 == kept.size() || i + 2 == kept.size() || i <= 1)) continue;
    if (!comment.empty()) comment += ' ';
    comment += w;
  }
  spot.comment = std::move(comment);
  return spot;
}

std::string RigModeName(SpotMode mode, std::int64_t hz) {
  switch (mode) {
    case SpotMode::Cw:
      return "CW";
    case SpotMode::Ssb:
      return LowerSideband(hz) ? "LSB" : "USB";
    case SpotMode::Data:
      return "PKTUSB";
    case SpotMode::Rtty:
      return "RTTY";
    case SpotMode::Am:
      return "AM";
    case SpotMode::Fm:
      return "FM";
    case SpotMode::None:
      break;
  }
  return {};
}

SpotTuning TuningForSpot(const SpotOnLine& spot, int region) {
  SpotTuning t;
  BandSegment band = FindBand(region, spot.hz);
  t.band = band.band;
  t.inBand = !t.band.empty();
  ModeWord word = FirstModeWord(spot.comment);
  t.mode = word.mode;
  if (t.mode == SpotMode::None && t.inBand) t.mode = BandPlanMode(region, spot.hz);
  t.order.rxHz = spot.hz;
  if (t.mode == SpotMode::Data) {
    if (auto dial = DataDial(word.word, spot.hz)) t.order.rxHz = *dial;
  }
  t.order.mode = RigModeName(t.mode, t.order.rxHz);
  if (auto tx = SplitFromComment(spot.comment, spot.hz, t.mode)) {
    t.order.split = true;
    t.order.txHz = *tx;
  }
  return t;
}

std::pair<std::int64_t, std::int64_t> PassbandEdges(std::int64_t hz, const std::string& rigMode,
                                                    int passbandHz) {
  std::string m = UCase(rigMode);
  // The usual width of the mode, and the widest that still says which spots
  // the operator hears: some rigs (Hamlib's dummy among them) report a roofing
  // filter of 15 kHz.
  std::int64_t usual = 3000, widest = 4000;
  if (m == "CW" || m == "CWR" || m == "RTTY" || m == "RTTYR") {
    usual = 500;
    widest = 3000;
  } else if (m == "USB" || m == "LSB") {
    usual = 2700;
  } else if (m == "AM") {
    usual = 6000;
    widest = 10000;
  } else if (m == "FM" || m == "PKTFM" || m == "WFM") {
    usual = 12000;
    widest = 20000;
  }
  std::int64_t width = passbandHz <= 0 ? usual : std::min<std::int64_t>(passbandHz, widest);
  if (m == "USB" || m == "PKTUSB") return {hz, hz + width};
  if (m == "LSB" || m == "PKTLSB") return {hz - width, hz};
  return {hz - width / 2, hz + width / 2};
}

std::string FormatRigFrequency(std::int64_t hz) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(hz / 1000),
                static_cast<long long>(hz % 1000 / 10));
  return text;
}

}  // namespace qn
