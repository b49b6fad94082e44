// Cost of classifying cluster lines and normalising the spots among them: a
// contest flood is mostly spot lines, with announcements, talks, bulletins,
// node records, bridge lines and an occasional very long line mixed in.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "traffic/classifier.h"
#include "traffic/spot_line.h"

namespace {

std::vector<std::string> ClusterLines() {
  static const char* const kLines[] = {
      "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z",
      "DX de DL8ABC:     7012.5  VK2DEF       599   long   path              1701Z",
      "DX de G4ZZZ:     21074.0  ZS6AB        FT8 -12dB                      1702Z",
      "To ALL de DL8ABC: contest this weekend, please QSY off 14025",
      "DX de EA5XX:     28495.0  PY2QQ        59 into EU",
      "WWV de W0MU <18>:   SFI=148, A=5, K=1, No Storms -> No Storms",
      "PC11^3525.0^OH2BH^ 5-Jan-2024^1704Z^CW 599^K1TTT^GB7XX^H99^~",
      "K1ABC de G4TST: thanks for the QSO, 73",
      "DX/IK2AAA 18068.0 5R8UI tnx QSO",
      "DX de DL1ABCDEF-12:   7012.5  VK0EK        CW 599                         0815Z",
      "WCY de DK0WCY-1 <17> : K=2 expK=3 A=12 R=93 SFI=146 SA=eru GMF=qui Au=no",
      "GB7XX de K1ABC 05-Jan-2024 1705Z >",
  };
  std::vector<std::string> lines;
  for (const char* l : kLines) lines.push_back(std::string(l) + "\r\n");
  lines.push_back(std::string(3000, 'L') + "\r\n");
  return lines;
}

void BM_ClassifyAndNormalise(benchmark::State& state) {
  const std::vector<std::string> lines = ClusterLines();
  qn::Classifier classifier;
  std::size_t spots = 0;
  classifier.Sinks().onSpot = [&](const std::string& line, qn::SpotSource source) {
    auto rec = qn::NormaliseSpotLine(line, source, &classifier.LastParsed());
    spots += rec.has_value();
  };
  std::string announcements;
  classifier.Sinks().announcementShown = [&](std::string_view line) {
    return announcements.find(line) != std::string::npos;
  };
  classifier.Context().ownCall = "K1ABC";
  classifier.Context().utcHhmm = [] { return std::string("1705"); };
  for (auto _ : state) {
    for (const auto& line : lines)
      benchmark::DoNotOptimize(classifier.ClassifyIncomingLine(line, qn::SpotSource::Main));
  }
  benchmark::DoNotOptimize(spots);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(lines.size()));
  state.counters["lines/s"] =
      benchmark::Counter(static_cast<double>(state.iterations() * lines.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClassifyAndNormalise);

}  // namespace

BENCHMARK_MAIN();
