// How many datagrams a second flinger's rules take: new spots (poked on),
// repeats, and noise, with the terminal box kept near its 20,000 characters.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "core/flinger.h"

namespace {

class Null : public fl::DatagramOut, public fl::CopyPoker {
 public:
  void SendDatagram(const std::string&, bool, const std::string&) override {}
  void PokeAllCopies(const std::string&) override { ++pokes; }
  long pokes = 0;
};

std::string Spot(int n) {
  std::string line =
      "DX de K1ABC:     " + std::to_string(1800 + n % 28000) + ".0  DL" + std::to_string(n) + "XYZ";
  line.resize(70, ' ');
  return line + "1200Z\r\n";
}

void Run(benchmark::State& state, const std::vector<std::string>& datagrams) {
  fl::Terminal terminal;
  fl::ExchangeFolders exchange(std::filesystem::temp_directory_path());
  Null out;
  fl::Flinger engine(terminal, exchange, out, out);
  std::size_t i = 0;
  for (auto _ : state) {
    engine.Receive(datagrams[i]);
    i = (i + 1) % datagrams.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["poked"] = static_cast<double>(out.pokes);
}

void NewSpots(benchmark::State& state) {
  std::vector<std::string> d;
  for (int n = 0; n < 100000; ++n) d.push_back(Spot(n));
  Run(state, d);
}

void RepeatedSpots(benchmark::State& state) { Run(state, {Spot(1), Spot(2), Spot(3)}); }

void Noise(benchmark::State& state) {
  std::mt19937 rnd(1);
  std::vector<std::string> d;
  for (int n = 0; n < 1000; ++n) {
    std::string s(static_cast<std::size_t>(state.range(0)), '\0');
    for (char& c : s) c = static_cast<char>(rnd());
    d.push_back(s);
  }
  Run(state, d);
}

}  // namespace

BENCHMARK(NewSpots);
BENCHMARK(RepeatedSpots);
BENCHMARK(Noise)->Arg(300)->Arg(65507);
BENCHMARK_MAIN();
