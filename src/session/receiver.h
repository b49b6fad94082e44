// The receive path of a session over any byte link: owns the receive buffer
// and its guards, takes the bytes the link read, answers telnet negotiation
// through sendRaw (telnet links only), feeds the terminal window and the
// capture, and hands complete lines to DispatchSteps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "session/received_line.h"
#include "session/telnet_codec.h"

namespace qn {

class Capture;
class TextWindow;

// The steps every complete line goes through, in this order. An empty step is
// skipped; a step that sets line.done ends the line's way.
struct DispatchSteps {
  // Server mode: the caller's line (still with its bells).
  std::function<void(ReceivedLine&)> serverLine;
  // Robot mode: a reply is received text of its own, dispatched after the line.
  std::function<std::string(const ReceivedLine&)> robotCommand;
  // Chat sessions: the line without its line end.
  std::function<void(std::string_view)> chatNotice;
  std::function<void(ReceivedLine&)> ircLine;
  std::function<void(ReceivedLine&)> lineAlert;
  std::function<void(ReceivedLine&)> classify;
  // Lines that are not spot lines go out to the radio side.
  std::function<void(const ReceivedLine&)> copyToRf;
  // A hop to another node: its name and the frame title that names it.
  std::function<void(const std::string& node, const std::string& title)> nodeHop;
};

class Receiver {
 public:
  // An unfinished line is passed on in pieces of this size: no window could
  // show more of it.
  static constexpr std::size_t kMaxUnfinishedLine = 28000;

  Receiver(TextWindow& terminal, Capture* capture);

  // One arrival: the bytes the session read from its socket.
  void OnData(std::string_view bytes);
  // Telnet links carry commands after IAC; on other links byte 255 is text.
  void SetTelnet(bool on) { telnet_ = on; }
  bool Telnet() const { return telnet_; }
  // The connect procedure marks this; the next arrival starts from empty buffers.
  void MarkNewConnection() { newConnection_ = true; }

  // Line ends seen since the counter was last reset (at each login prompt).
  std::uint64_t LineEndsSincePrompt() const { return lineEnds_; }
  void ResetLineCounter() { lineEnds_ = 0; }

  const std::string& RawChunk() const { return rawChunk_; }
  // The assembled text not yet dispatched (an incomplete last line).
  std::string_view Pending() const { return std::string_view(pending_).substr(pendingHead_); }
  std::string& Transcript() { return transcript_; }
  bool LastEndWasCR() const { return lastEndWasCR_; }
  bool LastEndWasLF() const { return lastEndWasLF_; }
  bool Scanning() const { return scanning_; }
  bool Dispatching() const { return dispatching_; }
  bool NewConnection() const { return newConnection_; }

  // Where negotiation replies go, at once: telnet commands, written to the
  // link as they are (not escaped as data is).
  std::function<void(std::string_view)> sendRaw;
  // Whether the program is in front (the terminal keeps a scrolled-back view).
  std::function<bool()> programInFront;
  // Link crypto of the session: deciphers the chunk in place when it is on.
  std::function<void(std::string& chunk)> decipherReceived;
  // IRC sessions show their traffic themselves, line by line; their servers
  // speak no telnet, so byte 255 is text there.
  std::function<bool()> ircSession;
  // IRC sessions: colour codes out of each chunk before the lines are assembled.
  std::function<void(std::string& chunk)> ircFilter;
  // The connection script looks at (and shortens) the transcript.
  std::function<void(std::string& transcript)> scriptMatcher;
  // The terminal text changed (the login-prompt detection looks at its end).
  std::function<void()> terminalChanged;
  DispatchSteps steps;

 private:
  void StartOver();
  void RemoveCrNul(std::string& chunk);
  void Scan();
  void LineEnd();
  void QueueDisplay(std::string_view text);
  void ShowQueued();
  void DispatchLines();
  void DispatchLine(ReceivedLine& line);

  TextWindow& terminal_;
  Capture* capture_;
  TelnetCodec codec_;

  std::string rawChunk_;
  std::size_t scanPos_ = 0;
  std::string addText_;
  std::string reply_;
  // Lines before pendingHead_ are dispatched already; they are dropped in one
  // go when a dispatch ends, not line by line.
  std::string pending_;
  std::size_t pendingHead_ = 0;
  // No LF in pending_ before this: a long line without end is searched once.
  std::size_t lfSearchFrom_ = 0;
  std::string transcript_;
  // Text scanned but not yet in the terminal; nested arrivals queue behind it
  // so the terminal keeps the order of arrival.
  std::string displayQueue_;
  bool lastEndWasCR_ = false;
  bool lastEndWasLF_ = false;
  bool scanning_ = false;
  bool dispatching_ = false;
  bool newConnection_ = false;
  bool telnet_ = true;
  // The previous chunk ended in CR: a NUL opening this one was its pair.
  bool chunkEndedInCR_ = false;
  std::uint64_t lineEnds_ = 0;
};

}  // namespace qn
