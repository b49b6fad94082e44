// The line rules of the UDP side: CT net framing, the duplicate key, the
// command forms and the receive history.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fl {

// Sum of the character codes modulo 256, with the top bit set.
unsigned char CtChecksum(std::string_view text);

// header + line + checksum + LF with framing, else line + CR LF.
std::string BuildDatagram(std::string_view line, bool ctNet, std::string_view header);

// A datagram in CT net framing (text, its checksum, LF) gives back its text;
// anything else comes back unchanged.
std::string_view StripCtFrame(std::string_view datagram);

// What decides that a spot was seen already: the first 64 characters, and of
// those the part after the first ":" (the spotter left out), trimmed.
std::string DuplicateKey(std::string_view line);

// A command datagram ("+++" and a cluster command, or the "A..DX " form of the
// contest networks) gives the command without its "+++" in *command.
bool CommandForm(std::string_view line, std::string* command);

// The line counter's test spot: each one differs in the digits from column 40.
std::string TestSpotLine(int counter);

// Spot lines passed on lately, so a spot that comes round again is not passed
// on twice. Holds the latest characters only.
class ReceiveHistory {
 public:
  static constexpr std::size_t kLimit = 2000;
  // True when line was seen already; the line is remembered either way.
  bool SeenBefore(std::string_view line);

 private:
  std::string text_;
};

}  // namespace fl
