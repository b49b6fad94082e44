// What one instance holds for bridging and serving others: the parameter
// tables read at start-up, the bridge, the RF gateway, the DX robot and the
// listener of server mode, and the aux port's functions they all send
// through. The assembly fills AuxPortSide when the aux port exists; until
// then the port reads as closed and nothing is sent to it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bridge/bridge.h"
#include "bridge/bridge_params.h"
#include "bridge/link_crypto.h"
#include "bridge/rf_gateway.h"
#include "bridge/robot.h"
#include "session/server_mode.h"

namespace qn {

struct AuxPortSide {
  std::function<bool()> open;
  // SendToAuxPort: the text as it is; SendLineToAuxPort: a line.
  std::function<void(const std::string& text)> send;
  std::function<void(const std::string& text)> sendLine;
  // The log port stands in for a closed aux port.
  std::function<bool()> logPortMode;
  std::function<void(const std::string& text)> writeLogPort;
  std::function<void()> discardInput;
  // EffectiveInputOnly.
  std::function<bool()> inputOnly;
};

struct Bridging {
  static constexpr const char* kBridgeFile = "BRIDGE.TXT";
  static constexpr const char* kCryptoFile = "crypto.txt";
  static constexpr const char* kBlockFile = "BLACK.LST";

  LinkCrypto crypto;
  AuxPortSide aux;
  std::unique_ptr<Bridge> bridge;
  std::unique_ptr<RfGateway> gateway;
  std::unique_ptr<Robot> robot;
  std::unique_ptr<ServerMode> server;  // telnet instances with a listener port only

  // The aux port's link crypto (bit 0), for its send and receive paths.
  std::string CryptForAux(std::string_view text, bool sending, bool optionOn) const {
    if (!optionOn || !crypto.Covers(LinkCrypto::kAuxBit)) return std::string(text);
    return CryptText(text, sending ? crypto.send : crypto.receive);
  }
};

}  // namespace qn
