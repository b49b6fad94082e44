#include "serial/serial_link.h"

#include "core/text.h"

namespace qn {

SerialLink::SerialLink(AuxPort& aux, TncDialogue& dialogue, EventLoop& loop)
    : aux_(aux), dialogue_(dialogue), loop_(loop) {
  aux_.onSessionData = [this](std::string_view chunk) {
    if (listener_) listener_->OnLinkData(chunk);
  };
}

SerialLink::~SerialLink() {
  *alive_ = false;
  aux_.onSessionData = nullptr;
}

void SerialLink::Open(const LinkAddress&) {
  session_ = false;
  if (!aux_.PortOpen()) aux_.Open();
  auto alive = alive_;
  if (!aux_.PortOpen()) {
    std::string why = aux_.OpenError();
    loop_.Post([this, alive, why] {
      if (*alive && listener_) listener_->OnLinkError(1, "The TNC cannot be reached: " + why);
    });
    return;
  }
  session_ = true;
  // As a socket does, the link reports itself open after the connect call returned.
  loop_.Post([this, alive] {
    if (*alive && session_ && listener_) listener_->OnLinkOpened();
  });
}

void SerialLink::Close() {
  if (!session_) return;
  session_ = false;
  dialogue_.DisconnectTnc();
}

bool SerialLink::HasPending() const { return aux_.PortOpen() && aux_.Port()->OutBufferCount() > 0; }

void SerialLink::SeeLine(const std::string& line) {
  if (!session_) return;
  std::string t = UCase(Trim(line));
  if (!StartsWith(t, "*** DISCONNECTED")) return;
  EndSession();
}

void SerialLink::DeviceFault(const std::string&) { EndSession(); }

void SerialLink::EndSession() {
  if (!session_) return;
  session_ = false;
  if (listener_) listener_->OnLinkClosed();
}

}  // namespace qn
