// What every run of the built program against a test node needs: a private
// runtime folder and a configuration that already holds a callsign.
#pragma once

#include <string>
#include <vector>

#include "core/files.h"
#include "fakes/temp_folder.h"

namespace qn::testing {

inline std::vector<std::string> ProgramEnv(const fakes::TempFolder& dir) {
  return {"QUILLNET_RUNTIME_DIR=" + (dir.Path() / "run").string()};
}

inline void WriteCallsign(const fakes::TempFolder& dir, const std::string& call = "G4TST") {
  std::string cfg;
  for (int i = 1; i <= 92; ++i) cfg += (i == 67 ? call : i == 69 ? "1" : "") + std::string("\r\n");
  DataFolder(dir.Path()).WriteAtomic("quillnet.cfg", cfg);
}

}  // namespace qn::testing
