// RIG.TXT in the data folder: how the radio is reached. One "key = value" a
// line, "'" starts a comment; lines the program does not know are kept as
// they stand when it saves.
//   ' rig control for the shack radio
//   use = rigctld
//   host = 127.0.0.1
//   port = 4532
#pragma once

#include <string>
#include <string_view>

#include "platform/rig.h"

namespace qn {

class DataFolder;

inline constexpr const char* kRigFile = "RIG.TXT";

RigSettings ParseRigFile(std::string_view text);
// The file's text with the settings' values put in: known keys replaced where
// they stand (the first of each), comments and unknown keys kept, missing keys
// added at the end. CR LF lines, as the program's other files.
std::string UpdateRigFile(std::string_view oldText, const RigSettings& settings);

RigSettings LoadRigSettings(const DataFolder& folder);
// Atomic; false when the file could not be written.
bool SaveRigSettings(const DataFolder& folder, const RigSettings& settings);

const char* RigAccessName(RigAccess use);

}  // namespace qn
