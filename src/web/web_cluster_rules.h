// The rules of the web cluster dialog Frmcfgweb ("Quillnet: Web Cluster
// Configuration"): the server and page lists, the refresh period, the first
// retrieval, the callsign and the link and bridge options. Save checks the
// required fields in order; the changes take effect at the next start.
#pragma once

#include <optional>
#include <string>

#include "core/app_settings.h"

namespace qn {


inline constexpr const char* kWebClusterDialogCaption = "Quillnet: Web Cluster Configuration";
inline constexpr const char* kWebClusterFrameCaption = "Web Cluster Configuration";
inline constexpr const char* kWebHostRequired = "IP address or host name required";
inline constexpr const char* kWebCallRequired = "Your Callsign is required";
inline constexpr const char* kWebPeriodRange = "Refresh Period: a number of minutes from 1 to 1440";
inline constexpr const char* kWebActiveAtRestart = "Changes (if any) will be active at next restart";
inline constexpr const char* kWebBridgeWarning =
    "Warning: by checking this box, the DX spots received by the current Internet session will be "
    "bridged to the Aux Comm Port (if enabled), by using the DX/CALL format.";
inline constexpr int kWebMaxPeriodMinutes = 1440;

struct WebClusterFields {
  std::string servers;          // "Network &Address or Host Name" (Txtwebad)
  std::string paths;            // "File Path And &Name" (Txtwebpath)
  std::string period;           // "Refresh Period" / "&Minutes:" (Txtwebper)
  bool ignoreFirst = false;     // "Ignore Very &First Connection" (Chkfirst)
  std::string callsign;         // "&Your Callsign" (Textcall)
  bool ddeIn = false;           // "DDE &in" (Chkddein)
  bool ddeOut = false;          // "DDE &out" (Chkddeout)
  bool bridgeToRemote = false;  // "Bridge To &Remote" (Checkto)
};

class WebClusterRules {
 public:
  static WebClusterFields Load(const AppSettings& settings);
  // Stores the fields; returns the refusal when the dialog must stay open.
  static std::string Save(const WebClusterFields& fields, AppSettings& settings);
  // The callsign box's key filter: the key to insert (upper-cased), '\b'
  // for Backspace, or nothing when the key is swallowed.
  static std::optional<char> CallsignKey(char key);
};

}  // namespace qn
