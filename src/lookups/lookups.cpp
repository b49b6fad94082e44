#include "lookups/lookups.h"

#include <cmath>
#include <cstdio>

#include "core/instance.h"
#include "core/personal_info.h"
#include "core/text.h"
#include "lookups/great_circle.h"
#include "platform/url_opener.h"

namespace qn {

namespace {

struct AskText {
  const char* prompt;
  const char* title;
};

constexpr const char* kCallPrompt = "Type the callsign to search for and press OK";
constexpr const char* kIotaPrompt =
    "Type the Iota string code (ex EU001) or keyword (ex Dodecanese) and press OK";
constexpr const char* kInfoPrompt = "Type the callsign, prefix or string to search for and press OK";
constexpr const char* kInfoTitle = "Quillnet: Call/Prefix Info";
constexpr const char* kLocatorPrompt = "Type the locator and press OK";
constexpr const char* kLocatorTitle = "Quillnet: Locator Info";
constexpr int kMaxLocatorTries = 100;

AskText AskTextOf(int kind) {
  switch (kind) {
    case 2:
      return {kCallPrompt, "Quillnet: QSL Info Online"};
    case 3:
      return {"Type the string to search for and press OK", "Quillnet: Spot Search Online"};
    case 4:
      return {kIotaPrompt, "Quillnet: Iota Info"};
    case 5:
      return {kCallPrompt, "Quillnet: YY8CCC Search"};
    case 6:
      return {"Type the locator to search for and press OK", "Quillnet: YY8CCC Search"};
    case 7:
      return {kIotaPrompt, "Quillnet: RSGB Iota Info"};
    default:
      return {kCallPrompt, "Quillnet: Ham Search Online"};
  }
}

std::string Number(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string ContinentName(const std::string& code) {
  if (code == "AF") return "Africa";
  if (code == "AN") return "Antarctica";
  if (code == "AS") return "Asia";
  if (code == "EU") return "Europe";
  if (code == "NA") return "North America";
  if (code == "SA") return "South America";
  if (code == "OC") return "Oceania";
  return code;
}

}  // namespace

std::string CutBefore(const std::string& text, const char* chars) {
  return text.substr(0, text.find_first_of(chars));
}

Lookups::Lookups(Instance& app) : app_(app) {}

std::string Lookups::LastTextDefault() const {
  return CutBefore(presetSearch_.empty() ? lastSearch_ : presetSearch_, "/\\-");
}

std::string Lookups::AskSearchText(int kind) {
  AskText ask = AskTextOf(kind);
  std::string* iotaCopy = clickedIota;
  std::string lastIota = iotaCopy ? *iotaCopy : std::string();
  std::string def = kind == 4   ? lastIota
                    : kind == 7 ? (lastRsgbIota_.empty() ? lastIota : lastRsgbIota_)
                                : LastTextDefault();
  auto answer = app_.Prompt().InputBox(ask.prompt, ask.title, def);
  if (!answer) return {};
  std::string text = UCase(Trim(*answer));
  if (text.empty()) return {};
  if (kind == 4 && iotaCopy) *iotaCopy = text;
  if (kind == 7) lastRsgbIota_ = text;
  if (kind != 4 && kind != 7) RememberAnswer(text);
  return text;
}

void Lookups::RememberAnswer(const std::string& answer) {
  if (answer.empty() || answer == lastSearch_ || answer == presetSearch_) return;
  lastSearch_ = answer;
  presetSearch_.clear();
}

std::string Lookups::LocalCallsign() const { return Trim(app_.Settings().ownCallsign); }

bool Lookups::HelperInstalled(const char* name) const {
  return FindHelperProgram(app_.Folder(), name).has_value();
}

void Lookups::RunEntry(const WebSearchEntry& entry) {
  const std::string id = entry.id;
  // The right click that led here is answered, whatever comes of it.
  if (id == "mnuboth" && rightClickAnswered) rightClickAnswered();
  std::string text = entry.inputKind > 0 ? AskSearchText(entry.inputKind) : lastSearch_;
  if (entry.inputKind > 0 && text.empty()) return;
  RunWebSearch(entry.literal, text);
  if (id == "mnuboth" || id == "mnubothqsl") RunDualSearch(text);
}

void Lookups::RunWebSearch(const std::string& literal, const std::string& text) {
  std::string letter = Trim(literal.substr(literal.find(' ') == std::string::npos ? 0 : literal.find(' ')));
  if (HelperInstalled(kWebHelper)) {
    app_.StartHelper(kWebHelper, {letter, LocalCallsign(), text}, WindowStyle::Minimised);
    return;
  }
  OpenAddress(letter, text);
}

void Lookups::RunDualSearch(const std::string& text) {
  if (HelperInstalled(kDualHelper)) {
    app_.StartHelper(kDualHelper, {text}, WindowStyle::Normal);
    return;
  }
  OpenAddress(WebSearchTable::kDualKey, text);
}

void Lookups::OpenAddress(const std::string& key, const std::string& text) {
  if (!app_.Urls()) return;
  WebSearchTable table;
  auto content = app_.Folder().Read(WebSearchTable::kFileName);
  std::vector<int> bad;
  if (content) bad = table.Parse(*content);
  if (!bad.empty()) {
    app_.Frame().SetStatus(std::string(WebSearchTable::kFileName) + ": line " + std::to_string(bad.front()) +
                           " is not understood and was skipped");
  }
  auto address = table.Address(key, text, LocalCallsign());
  if (!address) {
    app_.Prompt().MessageBox("No web address for search " + key + ": add a line for it to " +
                                 WebSearchTable::kFileName + " in the data folder",
                             MsgIcon::Exclamation);
    return;
  }
  app_.Urls()->Open(*address);
}

std::string Lookups::DaysText() const { return Number("%.10f", app_.UtcNow().ToSerial()); }

std::string Lookups::PrefixArgument(const std::string& text) const {
  return "\x01" + text + "\x05" + app_.Settings().ownLocator + "\x05" + DaysText() + "\x05" + "Quillnet";
}

std::string Lookups::LocatorArgument(const std::string& locator) const {
  return "\x01\x06" + locator + "\x05" + app_.Settings().ownLocator + "\x05" + DaysText() + "\x05" +
         "Quillnet";
}

bool Lookups::RaiseExisting(const std::string& caption) {
  for (const InfoPage& p : pages_) {
    if (p.caption != caption) continue;
    if (raiseInfo) raiseInfo(p);
    return true;
  }
  return false;
}

void Lookups::ShowPage(InfoPage page) {
  pages_.push_back(std::move(page));
  if (showInfo) showInfo(pages_.back());
}

void Lookups::InfoWindowClosed(const std::string& caption) {
  std::erase_if(pages_, [&](const InfoPage& p) { return p.caption == caption; });
}

void Lookups::Present(const std::string& caption, const std::string& helperArgument,
                      const std::function<std::vector<std::string>()>& lines) {
  if (RaiseExisting(caption)) return;
  if (HelperInstalled(kInfoHelper)) {
    app_.StartHelper(kInfoHelper, {helperArgument}, WindowStyle::Minimised);
    return;
  }
  ShowPage({caption, lines()});
}

void Lookups::PrefixInfo(const std::string& clicked) {
  std::string text = UCase(Trim(CutBefore(CutBefore(clicked, "-"), "/\\")));
  if (text.empty()) {
    auto answer = app_.Prompt().InputBox(kInfoPrompt, kInfoTitle, LastTextDefault());
    if (!answer) return;
    text = UCase(Trim(CutBefore(CutBefore(*answer, "-"), "/\\")));
    if (text.empty()) return;
  }
  RememberAnswer(text);
  Present(text + kPrefixSuffix, PrefixArgument(text), [&] { return CallInfoLines(text); });
}

void Lookups::IotaInfo(const std::string& clicked) {
  std::string text = UCase(Trim(CutBefore(clicked, "-")));
  if (text.empty()) text = AskSearchText(4);
  if (text.empty()) return;
  Present(text + kIotaSuffix, PrefixArgument(text), [&] { return IotaInfoLines(text); });
}

void Lookups::LocatorInfo(const std::string& clicked, const std::string& defaultText) {
  std::string locator = UCase(Trim(clicked));
  if (locator.empty() || !ValidateLocator(locator)) {
    std::string def = !locator.empty()       ? locator
                      : !defaultText.empty() ? defaultText
                                             : app_.Settings().ownLocator;
    // Asked again until the answer is a locator; an empty answer ends it.
    for (int tries = 0;; ++tries) {
      if (tries == kMaxLocatorTries) return;
      auto answer = app_.Prompt().InputBox(kLocatorPrompt, kLocatorTitle, def);
      if (!answer) return;
      locator = UCase(Trim(*answer));
      if (locator.empty()) return;
      if (ValidateLocator(locator)) break;
      app_.Prompt().MessageBox(kBadLocator, MsgIcon::Exclamation);
      if (!app_.Prompt().CanAsk()) return;
    }
  }
  Present(locator + kLocatorSuffix, LocatorArgument(locator), [&] { return LocatorInfoLines(locator); });
}

void Lookups::AdjustClock() {
  if (HelperInstalled(kClockHelper)) {
    app_.StartHelper(kClockHelper, {app_.Settings().utcOffset}, WindowStyle::Minimised);
    return;
  }
  app_.Prompt().MessageBox(kClockMessage, MsgIcon::Information);
}

std::string Lookups::CountryFilePath() const {
  if (!countryPath_.empty()) return countryPath_;
  if (auto own = app_.Folder().Resolve("cty.dat"); own && fs::exists(*own)) return own->string();
  return kSystemCountryFile;
}

const CountryFile& Lookups::Countries() {
  std::string path = CountryFilePath();
  // Read again only when the file is another one or was replaced (a newer
  // cty.dat put into the data folder during the run).
  std::error_code ec;
  auto size = fs::file_size(path, ec);
  auto time = fs::last_write_time(path, ec);
  std::string stamp = path + "|" + std::to_string(ec ? 0 : size) + "|" +
                      std::to_string(ec ? 0 : time.time_since_epoch().count());
  if (ec || stamp != loadedCountryStamp_) {
    countries_.Load(path);
    loadedCountryStamp_ = ec ? std::string() : stamp;
  }
  return countries_;
}

std::vector<std::string> Lookups::CallInfoLines(const std::string& text) {
  std::vector<std::string> lines;
  const CountryFile& cty = Countries();
  if (cty.GetState() == CountryFile::State::Missing) {
    lines.push_back("The country file cty.dat was not found (" + CountryFilePath() +
                    "): install the hamradio-files package or put a cty.dat into the data folder.");
    return lines;
  }
  if (cty.GetState() == CountryFile::State::Damaged)
    lines.push_back("The country file cty.dat is damaged: only the part that could be read is used.");
  auto match = cty.Lookup(text);
  if (!match) {
    lines.push_back("No country found for " + text);
    return lines;
  }
  const CountryEntity& e = match->entity;
  lines.push_back("Country: " + e.name + " (" + e.prefix + ")");
  lines.push_back("Continent: " + e.continent + "   CQ zone: " + std::to_string(e.cqZone) +
                  "   ITU zone: " + std::to_string(e.ituZone));
  lines.push_back(std::string(match->exactCall ? "Listed call: " : "Prefix: ") + match->matched);
  std::string own = app_.Settings().ownLocator;
  auto from = LocatorToLatLon(own);
  if (from) {
    GreatCirclePath path = PathBetween(*from, {e.lat, e.lon});
    lines.push_back("Beam heading: " + Number("%.0f", std::round(path.headingDeg)) + " degrees   Distance: " +
                    Number("%.0f", std::round(path.distanceKm)) + " km (from " + own + ")");
  } else {
    lines.push_back("Beam heading and distance: set your locator in Personal Info");
  }
  DateTime there = DateTime::FromSerial(app_.UtcNow().ToSerial() + e.utcOffset / 24.0);
  lines.push_back("Local time there: " + there.Format("hh:mm") + " (UTC" + (e.utcOffset < 0 ? "" : "+") +
                  Number("%g", e.utcOffset) + ")");
  return lines;
}

std::vector<std::string> Lookups::LocatorInfoLines(const std::string& locator) const {
  std::vector<std::string> lines;
  auto p = LocatorToLatLon(locator);
  if (!p) return {kBadLocator};
  lines.push_back("Locator: " + locator);
  lines.push_back("Position: " + FormatLatLon(*p) + " (centre of the square)");
  std::string own = app_.Settings().ownLocator;
  if (auto from = LocatorToLatLon(own)) {
    GreatCirclePath path = PathBetween(*from, *p);
    lines.push_back("Beam heading: " + Number("%.0f", std::round(path.headingDeg)) + " degrees   Distance: " +
                    Number("%.0f", std::round(path.distanceKm)) + " km (from " + own + ")");
  } else {
    lines.push_back("Beam heading and distance: set your locator in Personal Info");
  }
  return lines;
}

std::vector<std::string> Lookups::IotaInfoLines(const std::string& reference) {
  // A keyword ("DODECANESE") is only repeated: the reference list is online.
  std::string code = reference.substr(0, std::min<std::size_t>(2, reference.size()));
  std::string name = ContinentName(code);
  bool isReference = reference.size() == 5 && name != code &&
                     reference.find_first_not_of("0123456789", 2) == std::string::npos;
  if (!isReference) return {"IOTA search text: " + reference, "References are written like EU005 or OC123"};
  return {"IOTA reference: " + reference, "Continent: " + name, "Group number: " + reference.substr(2)};
}

}  // namespace qn
