#include "session/transports.h"

#include "core/text.h"

namespace qn {

void LinkTransport::Deliver(std::string_view text) {
  const bool resetKeepAlive = DefinedKeepAliveLines() <= 1;
  for (std::size_t pos = 0; pos < text.size(); pos += kPieceSize) {
    std::string_view piece = text.substr(pos, kPieceSize);
    if (cryptText) {
      link_.Write(cryptText(piece));
    } else {
      link_.Write(piece);
    }
    if (resetKeepAlive && resetKeepAliveMinutes) resetKeepAliveMinutes();
  }
}

void LinkTransport::FlushPending() {
  if (link_.IsOpen() && link_.HasPending()) link_.Flush();
}

int LinkTransport::DefinedKeepAliveLines() const {
  // Counted as the keep-alive tick reads the list: up to the first empty entry,
  // "NONE" entries being placeholders that send nothing.
  int count = 0;
  for (const std::string& line : keepAliveLines_) {
    if (line.empty() || line == std::string(1, '\0')) break;
    if (UCase(Trim(line)) != "NONE") ++count;
  }
  return count;
}

void ReplayTransport::Deliver(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
  folder_.Append(kReplayFile, std::string(text.substr(0, n)) + "\r\n");
}

}  // namespace qn
