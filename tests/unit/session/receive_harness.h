// A Receiver wired to a terminal window and recorders for what it gives back:
// dispatched lines, negotiation replies, node hops. Shared by the receive tests,
// the every-split replay and the fuzz target.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_window.h"
#include "session/receiver.h"

namespace qn::testing {

struct ReceiveHarness {
  TextWindow terminal{WindowId::Terminal};
  Receiver rx{terminal, nullptr};
  std::vector<std::string> lines;
  std::vector<bool> marked;
  std::string replies;
  std::vector<std::string> titles;

  explicit ReceiveHarness(Capture* capture = nullptr) : rx(terminal, capture) {
    rx.sendRaw = [this](std::string_view b) { replies.append(b); };
    rx.steps.classify = [this](ReceivedLine& l) {
      lines.push_back(l.text);
      marked.push_back(l.marked);
    };
    rx.steps.nodeHop = [this](const std::string&, const std::string& title) { titles.push_back(title); };
  }
  void Feed(std::string_view bytes) { rx.OnData(bytes); }
};

// Everything a run gives back, to compare runs of one stream cut differently.
struct ReceiveResult {
  std::vector<std::string> lines;
  std::vector<bool> marked;
  std::string replies;
  std::string terminal;
  std::string pending;
  std::vector<std::string> titles;
  std::uint64_t lineEnds = 0;
  bool operator==(const ReceiveResult&) const = default;
};

// Feeds stream in pieces whose sizes nextSize() gives (at least 1 each).
template <class NextSize>
ReceiveResult Replay(std::string_view stream, NextSize nextSize) {
  ReceiveHarness h;
  while (!stream.empty()) {
    std::size_t n = nextSize();
    if (n == 0) n = 1;
    h.Feed(stream.substr(0, n));
    stream.remove_prefix(std::min(n, stream.size()));
  }
  return {h.lines,
          h.marked,
          h.replies,
          h.terminal.Text(),
          std::string(h.rx.Pending()),
          h.titles,
          h.rx.LineEndsSincePrompt()};
}

inline ReceiveResult ReplayInPieces(std::string_view stream, std::size_t size) {
  return Replay(stream, [size] { return size; });
}

}  // namespace qn::testing
