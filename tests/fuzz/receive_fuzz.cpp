// The receive path under arbitrary node output: the stream is fed in pieces
// whose sizes the input picks, some of them from inside a dispatch step (a
// nested arrival). Whatever comes, the terminal stays within its limit, every
// dispatched line is one line ending in CR LF, and the lines and replies do not
// depend on where the stream was cut.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "unit/session/receive_harness.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "receive_fuzz: %s\n", what);
  std::abort();
}

void CheckLine(const std::string& line) {
  Require(line.size() >= 2 && line.ends_with("\r\n"), "a dispatched line without CR LF");
  Require(line.find('\n') == line.size() - 1, "two lines dispatched as one");
}

struct Run {
  std::vector<std::string> lines;
  std::string replies;
};

// sizes: one byte per piece, cycled (none: the stream in one piece). A piece
// whose byte is odd arrives while the previous piece's first line is being
// dispatched, as when a dispatch step lets events run.
Run Feed(std::string_view stream, std::string_view sizes) {
  qn::testing::ReceiveHarness h;
  std::string nested;
  h.rx.steps.classify = [&](qn::ReceivedLine& l) {
    CheckLine(l.text);
    h.lines.push_back(l.text);
    if (!nested.empty()) {
      std::string now;
      now.swap(nested);
      h.Feed(now);
      Require(h.terminal.Text().size() < qn::TextWindow::kLimit, "terminal over its limit (nested)");
    }
  };
  std::size_t turn = 0;
  auto next = [&](bool& odd) {
    unsigned char s = sizes.empty() ? 0 : static_cast<unsigned char>(sizes[turn++ % sizes.size()]);
    odd = (s & 1) != 0;
    std::size_t n = sizes.empty() ? stream.size() : std::min<std::size_t>(stream.size(), 1 + (s >> 1));
    std::string_view piece = stream.substr(0, n);
    stream.remove_prefix(n);
    return piece;
  };
  bool odd = false;
  std::string_view piece = next(odd);
  while (!piece.empty()) {
    bool nextOdd = false;
    std::string_view after = next(nextOdd);
    if (nextOdd) nested.assign(after);
    h.Feed(piece);
    Require(h.terminal.Text().size() < qn::TextWindow::kLimit, "terminal over its limit");
    if (nextOdd) {
      std::string late;
      late.swap(nested);
      if (!late.empty()) h.Feed(late);  // no line was dispatched to carry it
      piece = next(odd);
    } else {
      piece = after;
    }
  }
  Require(h.terminal.Text().size() < qn::TextWindow::kLimit, "terminal over its limit");
  Require(!h.rx.Scanning() && !h.rx.Dispatching(), "a guard left set");
  return {h.lines, h.replies};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte: how many of the following bytes are piece sizes (low half)
  // and how often the rest is repeated (high half), so that short inputs still
  // reach the terminal's limit.
  std::size_t nSizes = std::min<std::size_t>(data[0] % 16, size - 1);
  std::size_t repeats = 1 + 2 * (data[0] >> 4);
  std::string_view sizes(reinterpret_cast<const char*>(data) + 1, nSizes);
  std::string_view body(reinterpret_cast<const char*>(data) + 1 + nSizes, size - 1 - nSizes);
  std::string stream;
  for (std::size_t i = 0; i < repeats; ++i) stream.append(body);

  Run cut = Feed(stream, sizes);
  // A CR closing one piece and a NUL opening the next cannot be undone the way
  // a CR NUL inside one piece is, so such streams are not compared.
  if (stream.find(std::string_view("\r\0", 2)) == std::string::npos) {
    Run whole = Feed(stream, {});
    Require(cut.lines == whole.lines, "lines depend on where the stream was cut");
    Require(cut.replies == whole.replies, "replies depend on where the stream was cut");
  }
  return 0;
}
