// Whatever carries a session's bytes: a TCP connection to a node, the caller of
// a listening port, a serial port with a TNC. Connection control, the receive
// path and the send path talk to this and not to the device, so a new way in
// is a new link and nothing else.
#pragma once

#include <string>
#include <string_view>

namespace qn {

class ByteLinkListener {
 public:
  virtual ~ByteLinkListener() = default;
  virtual void OnLinkOpened() = 0;
  virtual void OnLinkData(std::string_view bytes) = 0;
  // The device took everything that was waiting; more may be written now.
  virtual void OnLinkWritable() = 0;
  // The other end went away (or the device did).
  virtual void OnLinkClosed() = 0;
  // Opening failed, or the open link failed; description is for the user.
  virtual void OnLinkError(int code, const std::string& description) = 0;
};

// Where to open a link: a host and a port (a number or a service name) for a
// TCP link; other links take their device from their own settings.
struct LinkAddress {
  std::string host;
  std::string port;
};

class ByteLink {
 public:
  virtual ~ByteLink() = default;
  virtual void SetListener(ByteLinkListener* listener) = 0;
  // Starts opening; OnLinkOpened or OnLinkError follows. An open link is
  // closed first, without events.
  virtual void Open(const LinkAddress& address) = 0;
  // Closes without events; what was waiting to be written is dropped.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Writes what the device takes now; the rest waits, in order, and goes out
  // as the device can take it (OnLinkWritable when all is out).
  virtual void Write(std::string_view bytes) = 0;
  virtual bool HasPending() const = 0;
  // Tries to write what is waiting now.
  virtual void Flush() = 0;
  // The telnet protocol runs on this link (IAC is a command byte).
  virtual bool SpeaksTelnet() const = 0;
  // Who is at the other end, for titles and the status line.
  virtual std::string PeerName() const = 0;
};

}  // namespace qn
