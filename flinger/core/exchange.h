// The exchange folders shared with logging programs: spot lines are appended
// to their SPOTS.TXT, and the lines a logger leaves in "outgoing.txt" are
// picked up and sent as commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fl {

namespace fs = std::filesystem;

// Where QLNEXA, QLNEXB and QLNEXC live: the data folder, or the Quillnet
// folder it sits in (…/quillnet/flinger gives …/quillnet).
fs::path ExchangeBase(const fs::path& dataFolder);

// The user exchange file as the settings hold it: a folder ("…/" or a name
// without a dot among its last four characters) gets SPOTS.TXT. Empty when
// nothing is given or it names one of the fixed files.
std::string NormaliseUserFile(std::string_view given, const std::vector<fs::path>& fixedFiles);

// An entry of dir whose name matches case-insensitively, else dir / name.
fs::path MatchCaseless(const fs::path& dir, std::string_view name);

class ExchangeFolders {
 public:
  static constexpr std::uintmax_t kSpotFileLimit = 20000;
  // Read at most this much of an "outgoing.txt" per poll, so a file that grows
  // by megabytes is worked off over several polls.
  static constexpr std::size_t kReadPerPoll = 256 * 1024;
  // A "line" longer than this without a line end is no command: dropped.
  static constexpr std::size_t kMaxPending = 64 * 1024;

  explicit ExchangeFolders(fs::path dataFolder);

  void SetUserFile(std::string_view given);
  const std::string& UserFile() const { return userFile_; }
  std::vector<fs::path> SpotFiles() const;

  // Exchange switched on: the fixed folders are made, every exchange file and
  // its "outgoing.txt" deleted, read positions start again.
  void Reset();
  void AppendLine(std::string_view line);
  // The complete lines added to the "outgoing.txt" files since the last poll.
  std::vector<std::string> PollOutgoing();

 private:
  struct Folder {
    fs::path spots;
    std::uintmax_t position = 0;
    std::string pending;
  };
  fs::path Resolve(const fs::path& path) const;
  void ReadNew(Folder& folder, std::vector<std::string>& lines);

  fs::path data_;
  std::vector<fs::path> fixed_;
  std::string userFile_;
  std::vector<Folder> folders_;
};

}  // namespace fl
