// What the send path hands its text to: the telnet link, the aux port, the web
// submission queue or the replay's askinfo file. The send path itself does not
// know which; each transport says what it needs (translation, raw line end).
#pragma once

#include <string>
#include <string_view>

namespace qn {

class SessionTransport {
 public:
  virtual ~SessionTransport() = default;
  // Whether text can go out now; text sent meanwhile is dropped.
  virtual bool Connected() const = 0;
  // IRC and chat sessions translate typed lines before they reach this transport.
  virtual bool Translates() const { return true; }
  // The line end that "," stands for in raw sends; empty: the session's.
  virtual std::string RawLineEnd() const { return {}; }
  // Takes a text (with its line ends) for the session.
  virtual void Deliver(std::string_view text) = 0;
  // Pushes what the device could not take yet.
  virtual void FlushPending() {}
};

}  // namespace qn
