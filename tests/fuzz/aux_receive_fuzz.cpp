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
#include <vector>

#include "fakes/fake_prompter.h"
#include "serial/aux_settings.h"
#include "serial/tnc_dialogue.h"
#include "unit/serial/aux_harness.h"

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
