// The rules of the aux-port dialog Frmcfgaux ("Quillnet: Aux Comm
// Configuration") and of the TNC dialog Frmcfgtnc ("Quillnet: TNC Parameters
// Configuration"): their fields, the keys their boxes take, what Save refuses
// and stores, and which device each port number names on this machine.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/app_settings.h"

namespace qn {

class Instance;

inline constexpr const char* kAuxCommCaption = "Quillnet: Aux Comm Configuration";
inline constexpr const char* kAuxCommFrame = "Aux Comm Port Parameters";
inline constexpr const char* kTncParametersCaption = "Quillnet: TNC Parameters Configuration";
inline constexpr const char* kTncParametersFrame = "TNC Related Parameters";
inline constexpr const char* kNeedPortNumber = "Must specify a port number";
inline constexpr const char* kNeedPortSettings = "Must specify port settings";
inline constexpr const char* kNeedEscape = "Must specify an escape string";
inline constexpr const char* kBadPortSettings =
    "The port settings must read like 9600,N,8,1: baud, parity (N, E, O, M or S), data bits, stop bits";
inline constexpr const char* kActiveAtRestart = "Changes (if any) will be active at next restart";
inline constexpr const char* kLogPortWarning =
    "Warning: enable this option only to pass data directly to the log's comm port; in this case the log "
    "must be windows based, the above port number must be set to the same comm port managed by the log, "
    "and the comm port must be plugged with a DB connector with pins 2 and 3 shortened (of course no TNC "
    "connected); do you really want to enable this option?";

struct AuxCommFields {
  std::string portNumber;   // "Comm Port &Number" (Txtpnum)
  std::string settings;     // "Comm &Port Settings" (Txtset)
  std::string escape;       // "Command Escape S&tring" (Txtesc)
  bool enabled = false;     // "&Enable Comm Port" (Chken)
  bool inputOnly = false;   // "&Input only" (Checkinp)
  bool xonXoff = false;     // "&Xon Xoff Handshake" (Chkxon)
  bool hardware = false;    // "&Hardware Handshake" (Chkrts)
  std::string logBase;      // log-port base address (Txtlog), "&H3F8"
  bool useLogPort = false;  // "&Use Log Port" (Chklog)
};

class AuxCommRules {
 public:
  static AuxCommFields Load(const AppSettings& settings);
  // The refusal, or empty when the fields were stored.
  static std::string Save(const AuxCommFields& fields, AppSettings& settings);
  // Keys the port-number box takes: digits, letters, backspace, , ; + - :
  static bool AcceptsPortKey(char c);
  // Enter: 0 to save, else the 1-based field (number, settings, escape) to fill first.
  static int FirstEmptyRequired(const AuxCommFields& fields);
  // For each port number of the list, the device it names now, and whether
  // that device is present: "1 = /dev/ttyS0, 3 = /dev/ttyUSB0 (SERIAL.TXT, not present)".
  static std::string DevicesNamed(const std::string& portList, const std::map<int, std::string>& serialMap,
                                  const std::vector<std::string>& present);
};

struct TncParametersFields {
  std::string initPath;  // "TNC Initialization &Path\Filename" (Txtpath)
  bool wa8ded = false;   // "&WA8DED" (Optded), else "&TAPR" (Opttapr)
};

class TncParametersRules {
 public:
  static TncParametersFields Load(const AppSettings& settings);
  static void Save(const TncParametersFields& fields, AppSettings& settings);
  static bool AcceptsPathKey(char c);
};

// Save in a running copy: refusal shown and false when the dialog stays open;
// otherwise stored, the configuration written and the restart notice shown.
bool SaveAuxCommDialog(Instance& app, const AuxCommFields& fields);
void SaveTncParametersDialog(Instance& app, const TncParametersFields& fields);

}  // namespace qn
