// The capture file: what the node sends (or only the spot lines) appended to a
// file the user chose.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace qn {

class Capture {
 public:
  ~Capture() { Close(); }
  // append false: the file is written from empty.
  bool Open(const std::filesystem::path& path, bool spotsOnly, bool append);
  void Close();
  bool On() const { return file_ != nullptr; }
  bool SpotsOnly() const { return spotsOnly_; }
  const std::filesystem::path& Path() const { return path_; }
  // Received text as it arrived (ignored in spots-only mode).
  void WriteReceived(std::string_view chunk);
  // A spot line (written in either mode).
  void WriteSpot(std::string_view line);
  // Text the program itself shows in the terminal (echoes, replayed lines).
  void WriteShown(std::string_view text) { WriteReceived(text); }

 private:
  void Write(std::string_view text);
  std::FILE* file_ = nullptr;
  bool spotsOnly_ = false;
  std::filesystem::path path_;
};

}  // namespace qn
