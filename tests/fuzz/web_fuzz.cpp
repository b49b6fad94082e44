// A web cluster's reply under arbitrary bytes: read through the exchange over
// a scripted socket in pieces the input picks, then parsed as a page. The
// reply never passes its limit, does not depend on where it was cut, and
// every line handed on is one line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fakes/fake_socket.h"
#include "fakes/virtual_time.h"
#include "web/web_exchange.h"
#include "web/web_page.h"
#include "web/web_submission.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "web_fuzz: %s\n", what);
  std::abort();
}

// sizes: one byte per piece, cycled; none: the reply in one piece.
std::string ReadReply(std::string_view reply, std::string_view sizes, bool jac) {
  qn::fakes::VirtualClock clock;
  qn::fakes::FakeEventLoop loop{clock};
  qn::fakes::FakeSocketFactory sockets;
  qn::WebScript script;
  qn::WebExchange exchange{sockets, loop, script};
  std::optional<qn::WebResult> result;
  qn::WebRequest request;
  request.server = "cluster.example";
  request.path = jac ? "/JAC/allbands.html" : "/summ.html";
  exchange.Start(request, [&](const qn::WebResult& r) { result = r; });
  auto& s = *sockets.made.back();
  s.AcceptConnection();
  std::size_t at = 0, turn = 0;
  while (at < reply.size() && !result) {
    std::size_t n =
        sizes.empty() ? reply.size() : 1 + static_cast<unsigned char>(sizes[turn++ % sizes.size()]);
    s.Arrive(reply.substr(at, n));
    at += n;
    loop.RunPosted();
  }
  s.RemoteClose();
  loop.RunPosted();
  Require(result && result->ok, "a reply that was not taken");
  return result->reply;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  if (in.empty()) return 0;
  const bool jac = (in[0] & 1) != 0;
  const std::size_t split = std::min<std::size_t>(in.size() - 1, static_cast<unsigned char>(in[0]) / 8);
  std::string_view sizes = in.substr(1, split);
  std::string_view reply = in.substr(1 + split);

  std::string whole = ReadReply(reply, {}, jac);
  std::string pieces = ReadReply(reply, sizes, jac);
  Require(whole.size() <= (jac ? qn::kJacReplyLimit : qn::kPageReplyLimit), "a reply past its limit");
  // A CR NUL pair cut between two reads is the one thing a split may change.
  if (reply.find('\0') == std::string_view::npos) Require(whole == pieces, "the reply depends on the split");

  std::string terminal;
  qn::WebPageSinks sinks;
  sinks.inReceiveWindow = [&](const std::string& l) { return terminal.find(l) != std::string::npos; };
  sinks.show = [&](const std::string& l) {
    Require(l.find_first_of("\r\n") == std::string::npos, "two lines shown as one");
    terminal += l + "\r\n";
  };
  sinks.inAnnouncementWindow = [](const std::string&) { return false; };
  sinks.announcement = [](const std::string& l) {
    Require(l.starts_with("WWV de ") || l.starts_with("To ALL de "), "an announcement without its head");
  };
  sinks.spot = [](const std::string& l) {
    Require(l.starts_with("DX de ") && l.ends_with("\r\n"), "a bad spot");
  };
  qn::ParseWebPage(pieces, jac, sinks);
  // Read again, the same page adds nothing.
  std::size_t shown = terminal.size();
  qn::ParseWebPage(pieces, jac, sinks);
  Require(terminal.size() == shown, "a page read twice added lines");

  // The same bytes as a typed submission.
  std::string line(reply.substr(0, 200));
  auto check = qn::CheckSubmissionLine(line + "\r\n", qn::SubmitVariant::Web);
  if (check.Accepted()) qn::BuildSubmissionRequest(check.line, jac, false);
  return 0;
}
