// Starts the outside helper programs (mail bell, ident, lookups). The core finds
// the program in the data folder and builds the argument list; the adapter only
// starts it, detached and never through a shell.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qn {

// How the helper's window should open; desktop helpers may ignore it.
enum class WindowStyle { Normal, Minimised, Hidden, Maximised };

class Launcher {
 public:
  virtual ~Launcher() = default;
  // program: an existing file found by the core. False when it could not start.
  virtual bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
                     WindowStyle style) = 0;
};

}  // namespace qn
