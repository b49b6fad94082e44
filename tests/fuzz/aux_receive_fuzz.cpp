// The aux port's receive handler and its text parsers under arbitrary input:
// the port's stream is fed whole and in pieces whose sizes the input picks,
// and the lines and steps must not depend on the cut; the port list, the
// settings text, the connect notice and the initialisation notation must take
// anything without failing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes/fake_prompter.h"
#include "serial/aux_settings.h"
#include "serial/tnc_dialogue.h"
#include "unit/serial/aux_harness.h"
#include "unit/session/receive_harness.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "aux_receive_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = input.find('\xff');
  std::string_view sizes = cut == std::string_view::npos ? std::string_view() : input.substr(0, cut);
  std::string_view stream = cut == std::string_view::npos ? input : input.substr(cut + 1);

  qn::testing::AuxHarness whole;
  whole.traffic = !stream.empty() && (stream[0] & 1);
  whole.Feed(stream, {});
  std::vector<std::size_t> pieces;
  for (char c : sizes) pieces.push_back(static_cast<unsigned char>(c) % 64 + 1);
  if (pieces.empty()) pieces.push_back(1);
  qn::testing::AuxHarness split;
  split.traffic = whole.traffic;
  split.Feed(stream, pieces);
  Require(whole.events == split.events, "the steps depend on where the stream was cut");
  Require(whole.shown == split.shown, "the terminal depends on where the stream was cut");
  for (const auto& e : whole.events)
    Require(e.find('\n') == std::string::npos || e.ends_with("\r\n"), "bad line");

  // A TNC session's bytes take the session's receive path without telnet.
  auto tncRun = [&](std::size_t piece) {
    qn::testing::ReceiveHarness h;
    h.rx.SetTelnet(false);
    for (std::string_view rest = stream; !rest.empty();) {
      std::size_t n = std::min(rest.size(), piece);
      h.Feed(rest.substr(0, n));
      rest.remove_prefix(n);
    }
    Require(h.replies.empty(), "a reply on a link without telnet");
    return std::make_pair(h.lines, h.terminal.Text());
  };
  // A CR NUL pair cut between two arrivals loses only its NUL (the CR was
  // shown already), so such streams are compared only for not failing.
  const bool crNul = stream.find(std::string_view("\r\0", 2)) != std::string_view::npos;
  auto once = tncRun(stream.size() + 1);
  Require(crNul || once == tncRun(pieces[0]), "the TNC path depends on where the stream was cut");

  std::string text(stream.substr(0, 200));
  qn::AuxEntry e = qn::ResolveAuxPort(text, 1 + static_cast<int>(size % 4), "9600,N,8,1");
  Require(e.port >= 0 && e.port < 1000, "port number out of range");
  qn::SerialSettings s = qn::ParseSerialSettings(text);
  Require(s.baud >= 50 && s.dataBits >= 5 && s.dataBits <= 8, "settings out of range");
  qn::ParseTncConnectNotice(text, "Quillnet [TNC:1]>" + text);
  // The notation, on a device that is not there: nothing may be sent.
  qn::testing::AuxHarness off;
  off.port.Close();
  qn::fakes::FakePrompter prompter;
  qn::TncDialogue tnc(off.aux, off.loop, off.clock, prompter);
  tnc.SendTncInitLine(text.substr(0, 40));
  Require(off.port.written.empty(), "sent to a closed port");
  return 0;
}
