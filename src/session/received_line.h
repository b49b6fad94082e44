// One complete line cut from the receive buffer on its way through the line
// dispatch, and the rules the dispatch itself applies to it (escape and bell
// removal, node-hopping detection). The dispatch steps of other subsystems get it.
#pragma once

#include <string>
#include <string_view>

namespace qn {

struct ReceivedLine {
  // The line with its CR LF.
  std::string text;
  // It held a BEL (the node rang for it): later steps may treat it as urgent.
  bool marked = false;
  // Set by a step that has taken the line over; the later steps skip it.
  bool done = false;

  // The text without its line end.
  std::string_view Body() const;
};

// Takes out the first ESC "[0m" and the first ESC "[7m" (a node's reverse-video
// highlight around the user's own call).
void RemoveHighlight(std::string& line);
// Removes every BEL; true when there was one.
bool RemoveBells(std::string& line);
// The node named after "connected to " or "reconnected to " (a hop to another
// node), up to the first blank or control character; empty when the line is
// not such a notice.
std::string NodeHopName(std::string_view line);
std::string NodeHopTitle(std::string_view node);

}  // namespace qn
