#include "fakes/fake_byte_link.h"

#include <algorithm>

namespace qn::fakes {

void FakeByteLink::Take(std::string_view bytes) {
  std::size_t n = std::min(room, bytes.size());
  sent.append(bytes.substr(0, n));
  if (room != static_cast<std::size_t>(-1)) room -= n;
  pending.append(bytes.substr(n));
}

void FakeByteLink::Write(std::string_view bytes) {
  if (!connected) return;
  writes.emplace_back(bytes);
  if (pending.empty()) {
    Take(bytes);
  } else {
    pending.append(bytes);
  }
  if (onSend) onSend(bytes);
}

void FakeByteLink::Flush() {
  ++flushes;
  std::string waiting;
  waiting.swap(pending);
  Take(waiting);
}

}  // namespace qn::fakes
