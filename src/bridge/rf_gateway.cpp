#include "bridge/rf_gateway.h"

#include "core/text.h"

namespace qn {

bool RfGateway::NoticesWanted() const { return On(hooks_.auxOpen) && !On(hooks_.bridgeTo); }

void RfGateway::ToPort(const std::string& text) {
  if (On(hooks_.auxOpen)) {
    if (hooks_.sendToAux) hooks_.sendToAux(text);
  } else if (On(hooks_.logPortMode) && hooks_.writeLogPort) {
    hooks_.writeLogPort(text);
  }
}

void RfGateway::CopyToRf(const std::string& line) {
  if (On(hooks_.bridgeTo) || On(hooks_.auxInputOnly) || !On(hooks_.exchangeOn)) return;
  std::string title = UCase(hooks_.customTitle ? hooks_.customTitle() : std::string());
  if (!StartsWith(title, "APRS")) {
    ToPort(line);
    return;
  }
  if (line.size() <= 2) return;
  lineCount_ = static_cast<std::uint16_t>((lineCount_ + 1) % kBeaconEvery);
  std::string text;
  if (lineCount_ == 0) {
    std::string call = hooks_.ownCall ? Trim(hooks_.ownCall()) : std::string();
    text = "}" + call + ">BEACON: Internet-RF service provided by " + call + " with Quillnet -> " +
           kWebAddress + "\r\n";
  }
  text += "}" + line;
  ToPort(text);
}

void RfGateway::OnRfLine(const std::string& line) {
  if (!On(hooks_.sessionConnected)) return;
  std::string body = Trim(WithoutLineBreaks(line));
  if (!body.empty()) {
    std::string word = UCase(body);
    if (word == "B" || word == "BY" || word == "BYE" || word == "*B" || word == "*BY" || word == "*BYE") {
      if (hooks_.sessionReset) hooks_.sessionReset();
    }
    if (!loginWaitOver_ && On(hooks_.loginPending)) {
      // The node's login must come first; the window keeps working meanwhile.
      bool done = loop_.WaitUntil(kLoginWaitMs, [this] { return !On(hooks_.loginPending); });
      if (!done) {
        if (hooks_.discardAuxInput) hooks_.discardAuxInput();
        if (hooks_.sendToAux) hooks_.sendToAux(kLoginTimeout);
        if (hooks_.disconnect) hooks_.disconnect();
        loginWaitOver_ = true;
        return;
      }
    }
    loginWaitOver_ = true;
  }
  if (On(hooks_.exchangeOn) && On(hooks_.sessionConnected) && hooks_.sendToSession)
    hooks_.sendToSession(std::string(WithoutLineBreaks(line)) + "\r\n");
}

bool RfGateway::TypedToPort(const std::string& text, const std::string& escape) {
  if (escape.empty() || !StartsWith(text, escape)) return false;
  std::string rest = text.substr(escape.size());
  if (!rest.empty() && rest.back() == '\n') rest.pop_back();
  if (On(hooks_.auxOpen) && hooks_.sendToAux) hooks_.sendToAux(rest);
  return true;
}

void RfGateway::OnSessionConnected() {
  loginWaitOver_ = false;
  if (NoticesWanted() && hooks_.sendToAux) hooks_.sendToAux("*** CONNECTED\r\n");
}

void RfGateway::OnSessionDropped() {
  if (NoticesWanted() && hooks_.sendToAux) hooks_.sendToAux("*** DISCONNECTED\r\n");
}

}  // namespace qn
