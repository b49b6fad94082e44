// What the send path needs of the connection: whether it is up, and a send that
// keeps what the socket cannot take yet for later (the pending output).
#pragma once

#include <string_view>

namespace qn {

class SessionTransport {
 public:
  virtual ~SessionTransport() = default;
  virtual bool Connected() const = 0;
  // Sends what the socket takes now; the rest joins the pending output, which
  // goes out when the socket is ready again.
  virtual void SendRaw(std::string_view bytes) = 0;
  virtual bool HasPendingOutput() const = 0;
  // Tries to send the pending output now.
  virtual void FlushPending() = 0;
};

}  // namespace qn
