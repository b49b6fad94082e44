// A measuring aid for the whole-program benchmark, off unless the environment
// names a file in QUILLNET_LOOP_PROBE: a 10 ms timer notes the longest gap
// between its ticks, and once a second a line "seconds longest-gap-ms spots"
// is appended to that file (spots: lines filed into the spot window so far),
// followed by the most processor time the program's thread used between two
// ticks: a long gap with little of it was spent waiting (for the X server,
// or for a processor on a busy machine), not working.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/text_window.h"

namespace qn {

class LoopProbe : public TextWindowListener {
 public:
  // Null when the environment does not ask for one.
  static std::unique_ptr<LoopProbe> FromEnvironment(TextWindow& spots);
  LoopProbe(const std::string& path, TextWindow& spots);
  ~LoopProbe() override;

  void OnAppended(std::string_view text) override;
  void OnCut(std::size_t) override {}
  void OnReset() override {}

 private:
  void Tick();
  void Report();

  TextWindow& spots_;
  std::FILE* out_ = nullptr;
  QTimer tick_;
  QTimer report_;
  QElapsedTimer clock_;
  qint64 lastTick_ = 0;
  qint64 longestGap_ = 0;
  double lastCpuMs_ = 0;
  double longestBusyMs_ = 0;
  std::uint64_t spotLines_ = 0;
};

}  // namespace qn
