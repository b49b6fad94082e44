// An aux port beside a telnet session on a fake device, with every step it
// hands lines to recorded. Shared by the unit tests and the fuzz target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app_settings.h"
#include "fakes/fake_serial_port.h"
#include "fakes/virtual_time.h"
#include "serial/aux_port.h"

namespace qn::testing {

struct AuxHarness {
  fakes::VirtualClock clock;
  fakes::FakeEventLoop loop{clock};
  fakes::FakeSerialPort port{clock};
  AuxPort aux{&port, loop};
  std::string shown;
  // What each line became: "L:" traffic, "R:" RF gateway, "P:" PC11, "C:" connect, "D" disconnect.
  std::vector<std::string> events;
  bool traffic = false;

  explicit AuxHarness(bool inputOnly = false) {
    AppSettings s;
    s.auxEnabled = true;
    s.auxPortList = "1";
    s.auxPortSettings = "9600,N,8,1";
    s.auxEscapeString = "+++";
    s.auxInputOnly = inputOnly;
    aux.Configure(s, 1, {}, false);
    aux.Open();
    aux.showLine = [this](const std::string& t) { shown += t; };
    aux.processesTraffic = [this] { return traffic; };
    aux.classify = [this](const std::string& l) { events.push_back("L:" + l); };
    aux.escapeConnect = [this](const std::string& h) { events.push_back("C:" + h); };
    aux.escapeDisconnect = [this] { events.push_back("D"); };
    aux.rfLine.Subscribe([this](const std::string& l) { events.push_back("R:" + l); });
    aux.pc11Line.Subscribe([this](const std::string& l) { events.push_back("P:" + l); });
  }

  // The stream in pieces of the given sizes (cycled; 0 taken as 1).
  void Feed(std::string_view stream, const std::vector<std::size_t>& sizes) {
    std::size_t turn = 0;
    while (!stream.empty()) {
      std::size_t n = sizes.empty() ? stream.size() : std::max<std::size_t>(1, sizes[turn++ % sizes.size()]);
      n = std::min(n, stream.size());
      port.Feed(stream.substr(0, n));
      stream.remove_prefix(n);
    }
  }
};

}  // namespace qn::testing
