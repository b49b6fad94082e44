// Records the helper programs the core asks to start, instead of starting them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/launcher.h"

namespace qn::fakes {

class FakeLauncher : public Launcher {
 public:
  struct Call {
    std::filesystem::path program;
    std::vector<std::string> args;
    WindowStyle style;
  };
  bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
             WindowStyle style) override {
    calls.push_back({program, args, style});
    return startSucceeds;
  }
  std::vector<Call> calls;
  bool startSucceeds = true;
};

}  // namespace qn::fakes
