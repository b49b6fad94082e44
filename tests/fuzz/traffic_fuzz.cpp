// Cluster lines of any shape through classification, spot normalising, the
// duplicate keys, the filters and the alert patterns. The input is split at
// NUL bytes: the first piece is an alert list, the second an area list, the
// rest are received lines. Whatever comes, a normalised spot line keeps its
// layout and nothing reads outside its text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "irc/irc_colours.h"
#include "irc/irc_line.h"
#include "traffic/alerts.h"
#include "traffic/classifier.h"
#include "traffic/filters.h"
#include "traffic/spot_line.h"
#include "traffic/spot_pipeline.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "traffic_fuzz: %s\n", what);
  std::abort();
}

std::vector<std::string> Pieces(std::string_view data) {
  std::vector<std::string> pieces(1);
  for (char c : data) {
    if (c == '\0' && pieces.size() < 64) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  while (pieces.size() < 3) pieces.emplace_back();
  return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces = Pieces(std::string_view(reinterpret_cast<const char*>(data), size));
  qn::AlertList alerts(pieces[0]);
  qn::AreaList area;
  area.LoadText(pieces[1]);
  const std::array<std::string, 10> low{"7000", "14000.5", "x", "-1"};
  const std::array<std::string, 10> high{"7040", "14070", "1e999", "0"};
  const std::vector<std::string> select = qn::SplitFilterWords(pieces[1]);
  const std::vector<std::string> reject = qn::SplitFilterWords(pieces[0]);

  std::string spotWindow;
  qn::Classifier classifier;
  classifier.Context().ownCall = "G4TST";
  classifier.Context().utcHhmm = [] { return std::string("1234"); };
  classifier.Sinks().announcementShown = [&](std::string_view line) {
    return spotWindow.find(line) != std::string::npos;
  };
  classifier.Sinks().onSpot = [&](const std::string& line, qn::SpotSource source) {
    auto spot = qn::NormaliseSpotLine(line, source, &classifier.LastParsed());
    if (!spot) return;
    Require(spot->line.size() >= 2 && spot->line.ends_with("\r\n"), "a spot line without CR LF");
    // A spotter colon far out is kept where it is; the rest is cut to the layout.
    Require(spot->line.size() <= 200, "a spot line far past its layout");
    Require(spot->comment.size() <= 31, "a comment past 31 characters");
    qn::FindDuplicate(spotWindow, qn::MakeDuplicateKeys(spot->line));
    qn::PassesFrequencyAndWords(low, high, select, reject, spot->frequency, spot->line);
    area.Passes(spot->spotter);
    alerts.MatchCall(spot->dxCall);
    alerts.MatchCall(spot->spotter);
    spotWindow += spot->line;
    if (spotWindow.size() > 28000) spotWindow.erase(0, 14000);
  };
  for (std::size_t i = 2; i < pieces.size(); ++i) {
    std::string line = pieces[i] + "\r\n";
    alerts.MatchLine(line);
    classifier.ClassifyIncomingLine(line, i % 2 ? qn::SpotSource::Serial : qn::SpotSource::Main, i % 3 == 0);
  }

  // The same pieces as an IRC server's stream: stripped chunk by chunk, then
  // each line read as a server line; robot traffic goes to the classifier.
  qn::IrcColourStripper stripper;
  std::string stream;
  for (std::size_t i = 2; i < pieces.size(); ++i) {
    std::string chunk = pieces[i];
    stripper.Strip(chunk);
    for (char c : chunk) {
      const auto u = static_cast<unsigned char>(c);
      Require(u != 3 && u != 2 && u != 0 && u != 160 && !(u >= 14 && u <= 31), "a colour code kept");
    }
    stream += chunk;
  }
  const qn::IrcLineContext context{"G4TST", pieces[1].substr(0, 12), pieces[0].size() % 2 == 1};
  std::size_t start = 0;
  while (start <= stream.size()) {
    std::size_t end = stream.find_first_of("\r\n", start);
    if (end == std::string::npos) end = stream.size();
    Require(end - start <= qn::IrcColourStripper::kMaxLineBytes, "an IRC line past 510 bytes");
    qn::IrcLineResult r = qn::HandleIrcLine(std::string_view(stream).substr(start, end - start), context);
    Require(r.display.find_first_of("\r\n") == std::string::npos, "a line end inside IRC display text");
    Require(r.ctcpAnswer.find_first_of("\r\n") == std::string::npos, "a line end inside a CTCP answer");
    if (r.isTraffic) classifier.ClassifyIncomingLine(r.display + "\r\n", qn::SpotSource::Main, false);
    start = end + 1;
  }
  return 0;
}
