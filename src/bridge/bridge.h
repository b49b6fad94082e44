// Bridging of accepted spots between this copy's links: the "DX/" and PC11
// lines built from a spot, the bridge to the aux port, the plain exchange of
// spot lines to the aux port or the log port, the bridge from other links
// into the session, and the lines this copy offers to relay copies. Called by
// the spot pipeline's "accepted" event; talks to the aux port, the send path
// and the links only through BridgeHooks.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "bridge/bridge_params.h"
#include "core/date_time.h"
#include "traffic/spot_record.h"

namespace qn {

// The two forms a spot travels in between links. Each ends in CR LF; empty
// when not built. Examples:
//   DX/K1TTT 14025.0 JA1XYZ cq test !*G4TST
//   PC11^14025.0^JA1XYZ^8-Dec-2026^1842Z^cq test^K1TTT^GB7XYZ^H99^~
struct BridgeLines {
  std::string dx;
  std::string pc11;
};

// The comment with this station's tag " !*CALL" (a tag of another station is
// replaced; a comment too long for it stays without).
std::string TaggedComment(std::string_view comment, std::string_view ownCall, bool noOwnTag);

BridgeLines BuildBridgeLines(const SpotRecord& spot, SpotSource source, const BridgeParams& params,
                             std::string_view ownCall, bool ircSession, const DateTime& utc);

struct BridgeHooks {
  // The session's switches; an empty hook reads as false.
  std::function<bool()> exchangeOn;
  std::function<bool()> bridgeFrom;
  std::function<bool()> bridgeTo;
  std::function<bool()> ircSession;
  // No automatic connection is under way (autoState 0).
  std::function<bool()> automaticIdle;
  std::function<bool()> tncSession;
  // The web poller's first round, whose spots are not bridged.
  std::function<bool()> webFirstRound;
  // The aux port only receives (EffectiveInputOnly).
  std::function<bool()> auxInputOnly;
  std::function<std::string()> ownCall;
  std::function<DateTime()> utcNow;

  // The aux port: open, its send, and the log-port mode that stands in for it.
  std::function<bool()> auxOpen;
  std::function<void(const std::string& text)> sendToAux;
  std::function<bool()> logPortMode;
  std::function<void(const std::string& text)> writeLogPort;

  // The pending-send text of the session, and SendToSession.
  std::function<std::string&()> pendingSend;
  std::function<void()> sendToSession;
  // A line (without its line end) for the relay copies (Textout1).
  std::function<void(const std::string& line)> toRelays;
};

class Bridge {
 public:
  explicit Bridge(BridgeParams params) : params_(std::move(params)) {}

  const BridgeParams& Params() const { return params_; }
  BridgeHooks& Hooks() { return hooks_; }

  // One accepted spot with the line as received and where it came from.
  void BridgeSpot(const SpotRecord& spot, const std::string& receivedLine, SpotSource source);
  // A relay copy forwards a link spot to its session as it is.
  void RelayToSession(const std::string& line);
  // A line this copy received, offered to the relay copies.
  void OfferToRelays(const std::string& line);

  // The lines built for the last bridged spot (for the robot's ring and tests).
  const BridgeLines& LastLines() const { return last_; }

 private:
  bool On(const std::function<bool()>& hook) const { return hook && hook(); }
  void ToAuxPort(const BridgeLines& lines, SpotSource source);
  void PlainExchange(const std::string& receivedLine, SpotSource source);
  void IntoSession(const BridgeLines& lines, SpotSource source);
  void AppendToSession(const std::string& text);

  BridgeParams params_;
  BridgeHooks hooks_;
  BridgeLines last_;
};

}  // namespace qn
