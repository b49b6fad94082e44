// The rigctld network protocol, without the socket: the commands for a tuning
// order or a reading, and a reader for the answers. Commands go with a "+" in
// front so that every answer, a setting's or a reading's, ends with "RPRT n":
//   "+F 14025000\n"  ->  "set_freq: 14025000\nRPRT 0\n"
//   "+m\n"           ->  "get_mode:\nMode: CW\nPassband: 500\nRPRT 0\n"
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/rig.h"

namespace qn {

struct RigctldAnswer {
  int code = 0;                                             // 0 done, negative a Hamlib error
  std::vector<std::pair<std::string, std::string>> fields;  // "Frequency" -> "14025000"

  std::string Field(std::string_view name) const;
};

struct RigctldCommand {
  std::string text;      // with its line end
  bool mayFail = false;  // a rig without split refuses "S 0"; that is no error
};

std::vector<RigctldCommand> RigctldTuneCommands(const RigOrder& order);
std::vector<RigctldCommand> RigctldReadCommands();

// Collects answers from the bytes as they come, in pieces of any size.
class RigctldReader {
 public:
  // Longest line taken; anything longer is not rigctld talking.
  static constexpr std::size_t kMaxLine = 1024;

  // False when the bytes cannot be rigctld's answers; the connection should go.
  bool Feed(std::string_view bytes);
  // Answers complete so far, oldest first; taken out.
  std::vector<RigctldAnswer> Take();
  void Reset();

 private:
  bool Line(const std::string& line);

  std::string partial_;
  RigctldAnswer current_;
  std::vector<RigctldAnswer> done_;
};

// "invalid parameter" for -1 and so on.
std::string HamlibErrorText(int code);
// The reading from the answers to "+f" and "+m".
RigReading RigctldReading(const RigctldAnswer& frequency, const RigctldAnswer& mode);

}  // namespace qn
