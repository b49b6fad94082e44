// What the aux port's settings say for this copy: the entry of the port list
// that belongs to it, the serial settings text, the device a port number names
// on Linux (SERIAL.TXT or /dev/ttyS<N-1>) and the log-port base offered for a
// port number.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "core/files.h"
#include "platform/serial_port.h"

namespace qn {

inline constexpr const char* kDefaultAuxSettings = "9600,N,8,1";
inline constexpr const char* kSerialMapFile = "SERIAL.TXT";

// One copy's entry of the port list.
struct AuxEntry {
  int port = 0;            // 0: no port for this copy
  std::string settings;    // the entry's own settings, else the common ones
  bool inputOnly = false;  // entry began with "+"
  bool quietTnc = false;   // entry began with "-"
};

// The list "1;2" gives port 1 to copy 1 and port 2 to copy 2; "3:4800,N,8,1"
// gives port 3 its own settings; "+2" opens port 2 as a traffic source only,
// "-1" never reports a silent TNC.
AuxEntry ResolveAuxPort(std::string_view portList, int copyNumber, std::string_view commonSettings);

// Lenient: missing or unreadable parts keep their default ("9600,N,8,1");
// ok is false when something was given that could not be read.
SerialSettings ParseSerialSettings(std::string_view text, bool* ok = nullptr);

// "&H3F8" for 1, "&H2F8" for 2, "&H3E8" for 3, "&H2E8" for 4, "&H2E0" otherwise.
std::string DefaultLogPortBase(std::string_view portNumberText);
// "&H3F8" -> 1016; plain digits are decimal.
int ParseLogPortBase(std::string_view text);
std::string FormatLogPortBase(int base);

// SERIAL.TXT of the data folder: one line a port, the number, blanks, the
// device path ("3 /dev/ttyUSB0"); lines beginning "'" are comments.
std::map<int, std::string> ReadSerialMap(const DataFolder& folder);
// The device port N names: SERIAL.TXT's, else /dev/ttyS<N-1>; empty for N < 1.
std::string DeviceForPort(const std::map<int, std::string>& map, int port);

}  // namespace qn
