// Spot lines through ClassifyIncomingLine and ProcessSpot with everything
// switched on: a full spot window (so the duplicate test always searches its
// last 10,000 characters), ten exclusion ranges, select and reject words, a
// 300-prefix area list and a 1,000-line alert list. The baseline is one plain
// search of a 40-character key over 10,000 characters of spot text; a new spot
// costs up to a dozen such searches in the duplicate test alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/app.h"
#include "core/text.h"
#include "fakes/fake_launcher.h"
#include "fakes/fake_prompter.h"
#include "fakes/temp_folder.h"
#include "fakes/virtual_time.h"
#include "traffic/alerts.h"
#include "traffic/classifier.h"
#include "traffic/filters.h"
#include "traffic/spot_pipeline.h"

namespace {

const char* const kSpotters[] = {"DL8ABC", "JA1AAA", "G4ZZZ", "EA5XX", "K1TTT", "IK2AAA", "OH2BH", "VK2DEF"};
const char* const kModes[] = {"CW", "SSB", "FT8", "RTTY"};

std::string SpotLine(int i) {
  std::string spotter = kSpotters[i % 8];
  std::string call = std::string(1, static_cast<char>('A' + i % 26)) + std::to_string(i % 10) +
                     std::to_string(100000 + i).substr(1);
  std::string freq = std::to_string(1800 + (i * 7) % 26000) + "." + std::to_string(i % 10);
  std::string comment = std::string(kModes[i % 4]) + " up " + std::to_string(i % 9) + " tnx QSO";
  return qn::PadRight("DX de " + spotter + ":", 15) + std::string(9 - freq.size(), ' ') + freq + "  " +
         qn::PadRight(call, 12) + " " + qn::PadRight(comment, 31) + "1234Z\r\n";
}

struct Instance {
  qn::fakes::TempFolder dir;
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakePrompter prompter;
  qn::fakes::FakeInstanceRegistry registry;
  std::unique_ptr<qn::App> app;

  Instance() {
    qn::DataFolder folder(dir.Path());
    qn::AppSettings s;
    s.ownCallsign = "G4TST";
    for (int r = 0; r < 10; ++r) {
      // Narrow ranges that real spots seldom fall into, so most spots go on.
      s.exclusionLow[static_cast<std::size_t>(r)] = std::to_string(30000 + r * 1000);
      s.exclusionHigh[static_cast<std::size_t>(r)] = std::to_string(30000 + r * 1000 + 500);
    }
    s.selectWords = "CW, SSB, FT8, RTTY";
    s.rejectWords = "PIRATE, QRP";
    s.dxDeFilterEnabled = true;
    s.alertEnabled = true;
    folder.WriteAtomic("quillnet.cfg", s.Serialise());
    std::string area;
    for (int i = 0; i < 292; ++i) area += "Q" + std::to_string(i) + "\r\n";
    for (const char* p : {"DL", "JA", "G", "EA", "K", "IK", "OH", "VK"}) area += std::string(p) + "\r\n";
    folder.WriteAtomic("FILTER.TXT", area);
    std::string alerts;
    for (int i = 0; i < 1000; ++i)
      alerts += "Z" + std::to_string(i) + (i % 3 == 0 ? "#" : i % 3 == 1 ? "." : "") + "\r\n";
    folder.WriteAtomic("ALERT.TXT", alerts);

    app = std::make_unique<qn::App>(qn::Ports{loop, clock, prompter, registry}, folder);
    app->StartUp("/DEMO");
    // A window that keeps cutting at its limit, as after a day of traffic.
    for (int i = 0; app->Window(qn::WindowId::Spots).Text().size() < qn::TextWindow::kLimit - 200; ++i)
      app->Append(qn::WindowId::Spots, SpotLine(1000000 + i));
  }
};

std::vector<std::string> Lines(int n) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) lines.push_back(SpotLine(i));
  return lines;
}

void BM_SpotPipeline(benchmark::State& state) {
  Instance inst;
  const std::vector<std::string> lines = Lines(200000);
  qn::Classifier& classifier = *inst.app->LineClassifier();
  std::size_t next = 0;
  for (auto _ : state) {
    classifier.ClassifyIncomingLine(lines[next], qn::SpotSource::Main);
    if (++next == lines.size()) next = 0;
  }
  state.counters["spots/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  if (inst.app->Window(qn::WindowId::Spots).Text().size() < 10000)
    state.SkipWithError("spot window not full");
}
BENCHMARK(BM_SpotPipeline);

void BM_BaselineKeySearch(benchmark::State& state) {
  std::string text;
  for (int i = 0; text.size() < 10000; ++i) text += SpotLine(500000 + i);
  text.resize(10000);
  // A key of a spot not in the text, shaped as the duplicate test's keys are
  // (from the frequency on): the search runs to the end, as for a new spot.
  std::string line = SpotLine(7);
  const std::string key = line.substr(line.find_first_not_of(' ', line.find(':') + 1), 40);
  for (auto _ : state) benchmark::DoNotOptimize(std::string_view(text).find(key));
}
BENCHMARK(BM_BaselineKeySearch);

// Keeps each benchmark's time per iteration so the ratio can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) nsPerIteration[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> nsPerIteration;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double spot = reporter.nsPerIteration["BM_SpotPipeline"];
  double base = reporter.nsPerIteration["BM_BaselineKeySearch"];
  if (spot > 0 && base > 0) {
    std::printf(
        "spot pipeline: %.0f spots/s, %.1f times the baseline key search (%.0f ns a spot, %.0f ns a "
        "search)\n",
        1e9 / spot, spot / base, spot, base);
  }
  benchmark::Shutdown();
  return 0;
}
