#include "bridge/bridge.h"

#include "core/text.h"

namespace qn {

namespace {

constexpr std::size_t kTaggedCommentWidth = 30;

std::string WithoutRobotMark(std::string spotter) {
  if (EndsWith(spotter, "-@")) spotter.resize(spotter.size() - 2);
  return spotter;
}

}  // namespace

std::string TaggedComment(std::string_view comment, std::string_view ownCall, bool noOwnTag) {
  std::string c = Trim(comment);
  std::string tag;
  if (!Trim(ownCall).empty() && !noOwnTag) tag = Left(" !*" + Trim(ownCall), 9);
  // Another station's tag gives way to ours.
  if (auto at = c.find("!*"); at != std::string::npos) c = Trim(c.substr(0, at));
  if (!tag.empty() && c.size() <= kTaggedCommentWidth - tag.size()) c = c.empty() ? tag.substr(1) : c + tag;
  return c.empty() ? " " : c;
}

BridgeLines BuildBridgeLines(const SpotRecord& spot, SpotSource source, const BridgeParams& params,
                             std::string_view ownCall, bool ircSession, const DateTime& utc) {
  BridgeLines lines;
  const std::string comment = TaggedComment(spot.comment, ownCall, params.noOwnTag);
  const std::string spotter = WithoutRobotMark(spot.spotter);
  lines.dx = (ircSession ? params.ircPrefix : "") + "DX/" + spotter + (ircSession ? params.ircSuffix : "") +
             " " + spot.frequency + " " + spot.dxCall + " " + comment + std::string(kCrLf);
  if (params.BuildsPc11() && source != SpotSource::Node) {
    lines.pc11 = "PC11^" + spot.frequency + "^" + UCase(Trim(spot.dxCall)) + "^" +
                 utc.Format(params.dateFormat) + "^" + utc.Format("hhnn") + "Z^" + comment + "^" +
                 UCase(Trim(spotter)) + "^" + params.nodeCall + "^" + params.hopsField + "^~" +
                 std::string(kCrLf);
  }
  return lines;
}

void Bridge::BridgeSpot(const SpotRecord& spot, const std::string& receivedLine, SpotSource source) {
  const bool from = On(hooks_.bridgeFrom);
  const bool to = On(hooks_.bridgeTo);
  last_ = {};
  if (from || to) {
    last_ = BuildBridgeLines(spot, source, params_, hooks_.ownCall ? hooks_.ownCall() : std::string(),
                             On(hooks_.ircSession), hooks_.utcNow ? hooks_.utcNow() : DateTime{});
  }
  ToAuxPort(last_, source);
  PlainExchange(receivedLine, source);
  IntoSession(last_, source);
}

void Bridge::ToAuxPort(const BridgeLines& lines, SpotSource source) {
  if (lines.dx.empty()) return;
  if (source == SpotSource::Serial && !params_.echoAuxSpots) return;
  if (!On(hooks_.auxOpen) || !On(hooks_.exchangeOn) || !On(hooks_.bridgeTo)) return;
  if (On(hooks_.tncSession) && !On(hooks_.automaticIdle)) return;
  if (On(hooks_.webFirstRound)) return;
  std::string line = (params_.flags & 1) ? lines.pc11 : lines.dx;
  if (line.empty()) return;
  if (!params_.auxPrefix.empty()) {
    // A "|" would end the prefix's command on the far side.
    if (line.find('|') != std::string::npos) return;
    line = params_.auxPrefix + line;
  }
  if (!params_.auxSuffix.empty()) line = line.substr(0, line.size() - 1) + params_.auxSuffix + " ";
  // Without its last character: a plain line leaves ended by CR alone.
  if (hooks_.sendToAux) hooks_.sendToAux(line.substr(0, line.size() - 1));
}

void Bridge::PlainExchange(const std::string& receivedLine, SpotSource source) {
  if (receivedLine.empty() || source == SpotSource::Serial || source == SpotSource::Node) return;
  if (On(hooks_.bridgeTo) || On(hooks_.auxInputOnly) || !On(hooks_.exchangeOn)) return;
  std::string line = receivedLine;
  if (line.size() > 2) line = line.substr(0, line.size() - 2) + "\a\a\r\n";
  if (On(hooks_.auxOpen)) {
    if (hooks_.sendToAux) hooks_.sendToAux(line);
  } else if (On(hooks_.logPortMode) && hooks_.writeLogPort) {
    hooks_.writeLogPort(line);
  }
}

void Bridge::IntoSession(const BridgeLines& lines, SpotSource source) {
  if (source == SpotSource::Main || !On(hooks_.automaticIdle) || !On(hooks_.exchangeOn)) return;
  if (!On(hooks_.bridgeFrom)) return;
  const std::string& line = (params_.flags & 2) ? lines.pc11 : lines.dx;
  AppendToSession(line);
}

void Bridge::AppendToSession(const std::string& text) {
  if (!hooks_.pendingSend || !hooks_.sendToSession) return;
  std::string& pending = hooks_.pendingSend();
  if (!pending.empty() && pending.back() != '\r' && pending.back() != '\n') pending += kCrLf;
  if (!text.empty()) pending += text;
  hooks_.sendToSession();
}

void Bridge::RelayToSession(const std::string& line) {
  if (!hooks_.pendingSend || !hooks_.sendToSession) return;
  hooks_.pendingSend() += line;
  hooks_.sendToSession();
}

void Bridge::OfferToRelays(const std::string& line) {
  std::string bare = line;
  while (!bare.empty() && (bare.back() == '\r' || bare.back() == '\n')) bare.pop_back();
  if (!bare.empty() && hooks_.toRelays) hooks_.toRelays(bare);
}

}  // namespace qn
