// The transports of the send path. LinkTransport writes to a byte link in
// small pieces; HookTransport hands the text to a function (the aux port and
// the web submission queue fill it in); ReplayTransport keeps what a demo run
// would have sent in ARCHIVE\askinfo.txt.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "core/files.h"
#include "session/byte_link.h"
#include "session/session_transport.h"

namespace qn {

class LinkTransport : public SessionTransport {
 public:
  static constexpr std::size_t kPieceSize = 32;

  LinkTransport(ByteLink& link, const std::array<std::string, 10>& keepAliveLines)
      : link_(link), keepAliveLines_(keepAliveLines) {}

  bool Connected() const override { return link_.IsOpen(); }
  void Deliver(std::string_view text) override;
  void FlushPending() override;

  // Link crypto of one piece (it applies the telnet crypto bit itself).
  std::function<std::string(std::string_view piece)> cryptText;
  // The keep-alive minute count starts again (typing counts as activity).
  std::function<void()> resetKeepAliveMinutes;

 private:
  int DefinedKeepAliveLines() const;

  ByteLink& link_;
  const std::array<std::string, 10>& keepAliveLines_;
};

class HookTransport : public SessionTransport {
 public:
  HookTransport(bool translates, std::string rawLineEnd)
      : translates_(translates), rawLineEnd_(std::move(rawLineEnd)) {}

  bool Connected() const override { return true; }
  bool Translates() const override { return translates_; }
  std::string RawLineEnd() const override { return rawLineEnd_; }
  void Deliver(std::string_view text) override {
    if (deliver && !text.empty()) deliver(std::string(text));
  }

  // Empty until the subsystem behind it exists: the text is dropped.
  std::function<void(const std::string& text)> deliver;

 private:
  bool translates_;
  std::string rawLineEnd_;
};

class ReplayTransport : public SessionTransport {
 public:
  static constexpr const char* kReplayFile = "ARCHIVE\\askinfo.txt";

  explicit ReplayTransport(DataFolder folder) : folder_(std::move(folder)) {}
  bool Connected() const override { return true; }
  bool Translates() const override { return false; }
  void Deliver(std::string_view text) override;

 private:
  DataFolder folder_;
};

}  // namespace qn
