// A session transport that records every write and can be told to take only
// part of them, keeping the rest as pending output like a busy socket.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/session_transport.h"

namespace qn::fakes {

class FakeTransport : public SessionTransport {
 public:
  bool Connected() const override { return connected; }
  void SendRaw(std::string_view bytes) override;
  bool HasPendingOutput() const override { return !pending.empty(); }
  void FlushPending() override;

  // Test side.
  bool connected = true;
  // How much later writes may take in all; the rest waits in pending.
  std::size_t room = static_cast<std::size_t>(-1);
  std::vector<std::string> writes;  // each SendRaw call as given
  std::string sent;                 // everything taken, in order
  std::string pending;
  int flushes = 0;
  // Runs after each SendRaw (a test can send again from here).
  std::function<void(std::string_view bytes)> onSend;

 private:
  void Take(std::string_view bytes);
};

}  // namespace qn::fakes
