// The message format of the local links (docs/ipc.md): a 4-byte big-endian
// length, then APPLICATION NUL TOPIC NUL ITEM NUL TEXT; each answered by a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fl {

inline constexpr std::size_t kMaxIpcMessage = 1048576;

struct IpcMessage {
  std::string application;
  std::string topic;
  std::string item;
  std::string text;
};

// Empty when the message would be too long to send.
std::string EncodeIpcMessage(const IpcMessage& message);

// Collects a connection's bytes and gives back whole messages in order.
class IpcMessageReader {
 public:
  enum class Result { kNeedMore, kMessage, kMalformed, kTooLong };

  void Feed(std::string_view bytes) { buffer_ += bytes; }
  // After kTooLong the connection is to be closed; the reader stays stuck.
  Result Next(IpcMessage* message);
  // An unfinished message is held (for the idle time-out).
  bool HoldsPartial() const { return !buffer_.empty(); }
  // How much more a caller may feed before the current message is complete.
  std::size_t Wanted() const;

 private:
  std::string buffer_;
  bool broken_ = false;
};

// The answer line (with its LF) an endpoint gives to a message meant for
// application/topic that serves only item.
std::string AnswerFor(const IpcMessage& message, std::string_view application, std::string_view topic,
                      std::string_view item);

// The endpoint file's line "APPLICATION TAB TOPIC"; false when it is not one.
bool ParseEndpointLine(std::string_view line, std::string* application, std::string* topic);

}  // namespace fl
