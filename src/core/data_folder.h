// Where an instance keeps its files, and the first-start copy of the files
// shipped with the program into it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qn {

// --data-dir, else $QUILLNET_DIR, else $XDG_DATA_HOME/quillnet, else
// ~/.local/share/quillnet.
std::filesystem::path ChooseDataFolder(const std::optional<std::string>& dataDirOption);

// Creates the folder when missing and copies every shipped file that is not
// there yet; never overwrites. Returns an error text, empty on success.
std::string PrepareDataFolder(const std::filesystem::path& folder, const std::filesystem::path& shipped);

// The shipped data/ folder: beside the executable, or the installed share folder.
std::filesystem::path FindShippedData(const std::filesystem::path& executable);

}  // namespace qn
