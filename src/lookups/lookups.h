// The call, prefix, locator and IOTA lookups and the web searches: the search
// questions with the remembered texts, the helper programs of the data folder
// with their command lines, and, when a helper is not installed, the program's
// own answer: the browser on an address of WEBSEARCH.TXT, or an information
// window filled from the country file and the locator arithmetic.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "lookups/country_file.h"
#include "lookups/web_search.h"

namespace qn {

class Instance;

// An information window of the program's own: its caption and its lines.
struct InfoPage {
  std::string caption;
  std::vector<std::string> lines;
};

class Lookups {
 public:
  static constexpr const char* kWebHelper = "WEBGO.EXE";
  static constexpr const char* kDualHelper = "DUALWEB.EXE";
  static constexpr const char* kClockHelper = "clockset.exe";
  static constexpr const char* kInfoHelper = "PREFIX.EXE";
  static constexpr const char* kSystemCountryFile = "/usr/share/hamradio-files/cty.dat";
  static constexpr const char* kPrefixSuffix = ": Prefix Info";
  static constexpr const char* kLocatorSuffix = ": Locator Info";
  static constexpr const char* kIotaSuffix = ": Iota Info";
  static constexpr const char* kQrzSuffix = ": QRZ (TM) CD ROM online search";
  static constexpr const char* kBuckSuffix = ": BUCKMASTER (TM) CD ROM online search";
  static constexpr const char* kYy4Suffix = ": YY4AAA QSL Info";
  static constexpr const char* kYy0Suffix = ": YY0BBB QSL Info";
  static constexpr const char* kBadLocator = "The specified locator is not valid";
  static constexpr const char* kClockMessage =
      "Quillnet does not set the computer's clock: on this system the time is kept by the system's time "
      "service (systemd-timesyncd, chrony or ntpd). Install clockset in the data folder to have it done "
      "here.";

  explicit Lookups(Instance& app);

  // The IOTA reference last clicked in a traffic window (offered by the IOTA
  // question, replaced by its answer), and the right click that a "Both..."
  // search answers; set by the assembly.
  std::string* clickedIota = nullptr;
  std::function<void()> rightClickAnswered;

  // The search question of a kind (1 to 7); empty when cancelled or left empty.
  std::string AskSearchText(int kind);
  // PresetSearch, else LastSearch, cut before "/", "\" and "-".
  std::string LastTextDefault() const;
  const std::string& LastSearch() const { return lastSearch_; }
  const std::string& PresetSearch() const { return presetSearch_; }
  void SetPresetSearch(const std::string& text) { presetSearch_ = text; }

  // A web-search menu entry: its question (or the last search), the search,
  // and for "Both..." and the Golist entry the second search.
  void RunEntry(const WebSearchEntry& entry);
  // The search of a command literal ("WEBGO.EXE B") for a text.
  void RunWebSearch(const std::string& literal, const std::string& text);
  void RunDualSearch(const std::string& text);

  // Information lookups; an empty text asks for one.
  void PrefixInfo(const std::string& text);
  // The question offers defaultText, else the own locator.
  void LocatorInfo(const std::string& text, const std::string& defaultText = "");
  void IotaInfo(const std::string& text);
  // "Adjust PC Clock".
  void AdjustClock();

  // The callsign the helpers are given.
  std::string LocalCallsign() const;
  // PREFIX.EXE's argument for a call or prefix, and for a locator.
  std::string PrefixArgument(const std::string& text) const;
  std::string LocatorArgument(const std::string& locator) const;

  // What the program's own information windows show.
  std::vector<std::string> CallInfoLines(const std::string& text);
  std::vector<std::string> LocatorInfoLines(const std::string& locator) const;
  static std::vector<std::string> IotaInfoLines(const std::string& reference);

  // The information windows open now; the front end reports a closed one.
  const std::vector<InfoPage>& OpenPages() const { return pages_; }
  void InfoWindowClosed(const std::string& caption);
  // Front-end hooks: open a window for a page; bring an open one to the front.
  std::function<void(const InfoPage&)> showInfo;
  std::function<void(const InfoPage&)> raiseInfo;

  // Where cty.dat is read: the data folder's own copy, else the system's.
  void SetCountryFilePath(const std::string& path) { countryPath_ = path; }
  std::string CountryFilePath() const;

 private:
  bool HelperInstalled(const char* name) const;
  void RememberAnswer(const std::string& answer);
  // Brings an open window of that caption to the front; false when none is open.
  bool RaiseExisting(const std::string& caption);
  void ShowPage(InfoPage page);
  // An information lookup's answer: the open window of that caption, else
  // the helper, else a window of the program's own with those lines.
  void Present(const std::string& caption, const std::string& helperArgument,
               const std::function<std::vector<std::string>()>& lines);
  void OpenAddress(const std::string& key, const std::string& text);
  const CountryFile& Countries();
  std::string DaysText() const;

  Instance& app_;
  std::string lastSearch_;
  std::string presetSearch_;
  std::string lastRsgbIota_;
  std::string countryPath_;
  std::string loadedCountryStamp_;  // path, size and time of the file read
  CountryFile countries_;
  std::vector<InfoPage> pages_;
};

// Cut before the first of the given characters.
std::string CutBefore(const std::string& text, const char* chars);

}  // namespace qn
