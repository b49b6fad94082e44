#include "core/capture.h"

namespace qn {

bool Capture::Open(const std::filesystem::path& path, bool spotsOnly, bool append) {
  Close();
  file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (!file_) return false;
  spotsOnly_ = spotsOnly;
  path_ = path;
  return true;
}

void Capture::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void Capture::WriteReceived(std::string_view chunk) {
  if (!spotsOnly_) Write(chunk);
}

void Capture::WriteSpot(std::string_view line) { Write(line); }

void Capture::Write(std::string_view text) {
  if (!file_ || text.empty()) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  // Kept flushed: a capture is read while it grows and must survive a crash.
  std::fflush(file_);
}

}  // namespace qn
