#include "exchange.h"

#include <algorithm>
#include <fstream>

#include "settings.h"

namespace fl {

namespace {

constexpr const char* kFixedFolders[] = {"QLNEXA", "QLNEXB", "QLNEXC"};

fs::path OutgoingOf(const fs::path& spots) { return spots.parent_path() / "outgoing.txt"; }

}  // namespace

fs::path ExchangeBase(const fs::path& dataFolder) {
  fs::path base;
  for (const fs::path& part : dataFolder) {
    base /= part;
    if (EqualNoCase(part.string(), "quillnet")) return base;
  }
  return dataFolder;
}

std::string NormaliseUserFile(std::string_view given, const std::vector<fs::path>& fixedFiles) {
  std::string f = Trim(given);
  std::replace(f.begin(), f.end(), '\\', '/');
  if (f.empty()) return f;
  if (f.back() == '/') {
    f += "SPOTS.TXT";
  } else if (f.substr(f.size() - std::min<std::size_t>(4, f.size())).find('.') == std::string::npos) {
    f += "/SPOTS.TXT";
  }
  std::string normal = fs::path(f).lexically_normal().string();
  for (const fs::path& fixed : fixedFiles) {
    if (EqualNoCase(normal, fixed.lexically_normal().string())) return "";
  }
  return f;
}

fs::path MatchCaseless(const fs::path& dir, std::string_view name) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (entry == name) return it->path();
    if (EqualNoCase(entry, name)) return it->path();
  }
  return dir / std::string(name);
}

ExchangeFolders::ExchangeFolders(fs::path dataFolder) : data_(std::move(dataFolder)) {
  fs::path base = ExchangeBase(data_);
  for (const char* name : kFixedFolders) fixed_.push_back(base / name / "SPOTS.TXT");
  SetUserFile("");
}

void ExchangeFolders::SetUserFile(std::string_view given) {
  userFile_ = NormaliseUserFile(given, fixed_);
  std::vector<Folder> old = std::move(folders_);
  folders_.clear();
  for (const fs::path& spots : SpotFiles()) {
    Folder f{spots, 0, {}};
    for (const Folder& o : old) {
      if (o.spots == spots) f = o;
    }
    folders_.push_back(std::move(f));
  }
}

std::vector<fs::path> ExchangeFolders::SpotFiles() const {
  std::vector<fs::path> files = fixed_;
  if (!userFile_.empty()) {
    fs::path user(userFile_);
    files.push_back(user.is_absolute() ? user : data_ / user);
  }
  return files;
}

// The folder and file names are matched without regard to case, as a logger
// written for another system may spell them either way.
fs::path ExchangeFolders::Resolve(const fs::path& path) const {
  fs::path dir = MatchCaseless(path.parent_path().parent_path(), path.parent_path().filename().string());
  return MatchCaseless(dir, path.filename().string());
}

void ExchangeFolders::Reset() {
  std::error_code ec;
  for (const fs::path& fixed : fixed_) fs::create_directories(fixed.parent_path(), ec);
  for (Folder& f : folders_) {
    fs::remove(Resolve(f.spots), ec);
    fs::remove(Resolve(OutgoingOf(f.spots)), ec);
    f.position = 0;
    f.pending.clear();
  }
}

void ExchangeFolders::AppendLine(std::string_view line) {
  for (const Folder& f : folders_) {
    fs::path file = Resolve(f.spots);
    std::error_code ec;
    if (fs::file_size(file, ec) >= kSpotFileLimit && !ec) fs::remove(file, ec);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (out) out << line << "\r\n";
  }
}

std::vector<std::string> ExchangeFolders::PollOutgoing() {
  std::vector<std::string> lines;
  for (Folder& f : folders_) ReadNew(f, lines);
  return lines;
}

void ExchangeFolders::ReadNew(Folder& f, std::vector<std::string>& lines) {
  fs::path file = Resolve(OutgoingOf(f.spots));
  std::error_code ec;
  std::uintmax_t size = fs::file_size(file, ec);
  if (ec) return;
  if (size < f.position) {
    // Rewritten or cut: what was half read belongs to the old file.
    f.position = 0;
    f.pending.clear();
  }
  if (f.position >= size) return;
  std::size_t want = static_cast<std::size_t>(std::min<std::uintmax_t>(size - f.position, kReadPerPoll));
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  in.seekg(static_cast<std::streamoff>(f.position));
  std::string chunk(want, '\0');
  in.read(chunk.data(), static_cast<std::streamsize>(want));
  chunk.resize(static_cast<std::size_t>(in.gcount()));
  f.position += chunk.size();
  chunk.erase(std::remove(chunk.begin(), chunk.end(), '\a'), chunk.end());
  f.pending += chunk;
  std::size_t start = 0;
  for (std::size_t end; (end = f.pending.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = f.pending.substr(start, end - start);
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
  }
  f.pending.erase(0, start);
  if (f.pending.size() > kMaxPending) f.pending.clear();
}

}  // namespace fl
