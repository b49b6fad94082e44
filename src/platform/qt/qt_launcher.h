// The Launcher port on QProcess: the helper runs detached in its own folder,
// with the argument list handed over as it is (no shell, no word splitting).
#pragma once

#include "platform/launcher.h"

namespace qn {

class QtLauncher : public Launcher {
 public:
  bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
             WindowStyle style) override;
};

}  // namespace qn
