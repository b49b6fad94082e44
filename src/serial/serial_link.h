// The aux port as the link of a TNC session, so that connection control, the
// script engine, the receive path and the send path are the telnet session's
// own. The port itself stays open for the whole run: opening the link starts
// a session (the site's script then sends the TNC's connect command), closing
// it runs the TNC's disconnect sequence, and the TNC's "*** DISCONNECTED" or
// a device that went away end it as a node's close ends a telnet session.
#pragma once

#include <string>

#include "platform/event_loop.h"
#include "serial/aux_port.h"
#include "serial/tnc_dialogue.h"
#include "session/byte_link.h"

namespace qn {

class SerialLink : public ByteLink {
 public:
  SerialLink(AuxPort& aux, TncDialogue& dialogue, EventLoop& loop);
  ~SerialLink() override;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  void SetListener(ByteLinkListener* listener) override { listener_ = listener; }
  // Reopens a device that went away (a USB adapter plugged in again) first.
  void Open(const LinkAddress& address) override;
  void Close() override;
  bool IsOpen() const override { return session_ && aux_.PortOpen(); }
  void Write(std::string_view bytes) override { aux_.SendToAuxPort(bytes); }
  bool HasPending() const override;
  void Flush() override {}
  bool SpeaksTelnet() const override { return false; }
  std::string PeerName() const override { return "TNC:" + std::to_string(aux_.Entry().port); }

  // A received line of the session: the TNC's own disconnect notice ends it.
  void SeeLine(const std::string& line);
  // The device failed (it is closed already).
  void DeviceFault(const std::string& description);

 private:
  void EndSession();

  AuxPort& aux_;
  TncDialogue& dialogue_;
  EventLoop& loop_;
  ByteLinkListener* listener_ = nullptr;
  bool session_ = false;
  // Posted events check this, so a link that is gone ignores them.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qn
