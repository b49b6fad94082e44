#include "platform/qt/loop_probe.h"

#include <time.h>

#include <algorithm>
#include <cstdlib>

namespace qn {

namespace {

double ThreadCpuMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

}  // namespace

std::unique_ptr<LoopProbe> LoopProbe::FromEnvironment(TextWindow& spots) {
  const char* path = std::getenv("QUILLNET_LOOP_PROBE");
  if (!path || !*path) return nullptr;
  return std::make_unique<LoopProbe>(path, spots);
}

LoopProbe::LoopProbe(const std::string& path, TextWindow& spots) : spots_(spots) {
  out_ = std::fopen(path.c_str(), "a");
  spots_.AddListener(this);
  clock_.start();
  lastCpuMs_ = ThreadCpuMs();
  // A precise timer, so the gaps measured are the loop's and not the timer's slack.
  tick_.setTimerType(Qt::PreciseTimer);
  tick_.setInterval(10);
  QObject::connect(&tick_, &QTimer::timeout, [this] { Tick(); });
  report_.setInterval(1000);
  QObject::connect(&report_, &QTimer::timeout, [this] { Report(); });
  tick_.start();
  report_.start();
}

LoopProbe::~LoopProbe() {
  spots_.RemoveListener(this);
  if (out_) std::fclose(out_);
}

void LoopProbe::OnAppended(std::string_view text) {
  spotLines_ += static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
}

void LoopProbe::Tick() {
  qint64 now = clock_.elapsed();
  longestGap_ = std::max(longestGap_, now - lastTick_);
  lastTick_ = now;
  double cpu = ThreadCpuMs();
  longestBusyMs_ = std::max(longestBusyMs_, cpu - lastCpuMs_);
  lastCpuMs_ = cpu;
}

void LoopProbe::Report() {
  Tick();
  if (out_) {
    std::fprintf(out_, "%.3f %lld %llu %.1f\n", static_cast<double>(clock_.elapsed()) / 1000.0,
                 static_cast<long long>(longestGap_), static_cast<unsigned long long>(spotLines_),
                 longestBusyMs_);
    std::fflush(out_);
  }
  longestGap_ = 0;
  longestBusyMs_ = 0;
}

}  // namespace qn
