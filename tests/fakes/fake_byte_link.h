// A byte link that records every write and can be told to take only part of
// them, keeping the rest as pending output like a busy socket.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/byte_link.h"

namespace qn::fakes {

class FakeByteLink : public ByteLink {
 public:
  void SetListener(ByteLinkListener* l) override { listener = l; }
  void Open(const LinkAddress& address) override {
    opened.push_back(address);
    connected = true;
  }
  void Close() override {
    connected = false;
    pending.clear();
  }
  bool IsOpen() const override { return connected; }
  void Write(std::string_view bytes) override;
  bool HasPending() const override { return !pending.empty(); }
  void Flush() override;
  bool SpeaksTelnet() const override { return telnet; }
  std::string PeerName() const override { return peer; }

  // Test side.
  ByteLinkListener* listener = nullptr;
  bool connected = true;
  bool telnet = true;
  std::string peer = "node.example";
  std::vector<LinkAddress> opened;
  // How much later writes may take in all; the rest waits in pending.
  std::size_t room = static_cast<std::size_t>(-1);
  std::vector<std::string> writes;  // each Write call as given
  std::string sent;                 // everything taken, in order
  std::string pending;
  int flushes = 0;
  // Runs after each Write (a test can send again from here).
  std::function<void(std::string_view bytes)> onSend;

 private:
  void Take(std::string_view bytes);
};

}  // namespace qn::fakes
