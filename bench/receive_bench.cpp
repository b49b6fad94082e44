// Throughput of the receive path: cluster traffic (spots, talk, bulletins, some
// negotiation, an occasional long line) through Receiver into a terminal window
// that keeps cutting at its limit, in TCP-segment-sized arrivals.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/text_window.h"
#include "session/receiver.h"

namespace {

std::string ClusterTraffic() {
  static const char* const kLines[] = {
      "DX de W3LPL:     14025.0  JA1XYZ       CQ CQ loud here                1700Z",
      "DX de DL8ABC:     7012.5  VK2DEF       599 long path                  1701Z",
      "DX de G4ZZZ:     21074.0  ZS6AB        FT8 -12dB                      1702Z",
      "To ALL de DL8ABC: contest this weekend, please QSY off 14025",
      "DX de EA5XX:     28495.0  PY2QQ        59 into EU                     1703Z",
      "WWV de W0MU <18>:   SFI=148, A=5, K=1, No Storms -> No Storms",
      "DX de K1TTT:      3525.0  OH2BH        CW 599                         1704Z",
      "\x1b[7mG4TST\x1b[0m de K1ABC: \athanks for the QSO, 73",
      "DX de IK2AAA:    18068.0  5R8UI        tnx QSO                        1705Z",
      "WCY de DK0WCY-1 <17> : K=2 expK=3 A=12 R=93 SFI=146 SA=eru GMF=qui Au=no",
  };
  std::string s;
  int n = 0;
  while (s.size() < (1u << 20)) {
    for (const char* line : kLines) {
      s += line;
      s += "\r\n";
      if (++n % 200 == 0) s += "\xff\xfd\x18\xff\xfa\x18\x01\xff\xf0";  // renegotiation now and then
      if (n % 500 == 0) s += std::string(3000, 'L') + "\r\n";           // a long line
    }
  }
  return s;
}

void BM_ReceiveClusterTraffic(benchmark::State& state) {
  const std::string traffic = ClusterTraffic();
  const std::size_t segment = static_cast<std::size_t>(state.range(0));
  qn::TextWindow terminal(qn::WindowId::Terminal);
  qn::Receiver rx(terminal, nullptr);
  std::size_t lines = 0;
  std::size_t replies = 0;
  rx.sendRaw = [&](std::string_view r) { replies += r.size(); };
  rx.steps.classify = [&](qn::ReceivedLine& l) { lines += l.text.size() > 0; };
  // The connection script keeps only the tail it can still match.
  rx.scriptMatcher = [](std::string& transcript) {
    if (transcript.size() > 64) transcript.erase(0, transcript.size() - 64);
  };
  for (auto _ : state) {
    for (std::size_t at = 0; at < traffic.size(); at += segment) {
      rx.OnData(std::string_view(traffic).substr(at, segment));
    }
  }
  benchmark::DoNotOptimize(lines);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(traffic.size()));
  state.counters["lines"] = static_cast<double>(lines) / static_cast<double>(state.iterations());
  if (terminal.Text().size() >= qn::TextWindow::kLimit) state.SkipWithError("terminal over its limit");
}
BENCHMARK(BM_ReceiveClusterTraffic)->Arg(1460)->Arg(64)->Arg(16384);

}  // namespace

BENCHMARK_MAIN();
