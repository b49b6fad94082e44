// Spots and announcements posted to a web cluster: the format check of a
// typed line, its fields, and the HTTP request that carries it (a GET query
// to the submission service, or a form POST to a JAC page).
//   "G4TST 14025.5 K1ABC up 2"     a spot
//   "G4TST >QRV 6m tonight>2"      an announcement, to web cluster 2
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qn {

inline constexpr const char* kSubmitFormatWeb =
    "Error; submit format: YourCall Frequency DXCall Comment, or YourCall >Announcement text "
    "(Ex. ZX9QQQ >pse ZZ0ZZ qsl info)";
inline constexpr const char* kSubmitFormatRobot =
    "Error; submit format: DX Frequency DXCall Comment, or Ann Announcement text";
inline constexpr const char* kSubmitFormatWebShort =
    "Submit format: YourCall Frequency DXCall Comment, or YourCall >Announcement text "
    "(Ex. ZX9QQQ >pse ZZ0ZZ qsl info)";
inline constexpr std::size_t kSubmissionLineLimit = 80;

// The box text differs for lines typed by the user and lines of the IRC robot.
enum class SubmitVariant { Web, Robot };

struct SubmissionCheck {
  enum class Outcome { Accepted, BadFrequency, TooFewWords };
  Outcome outcome = Outcome::Accepted;
  // Accepted: the line cut to 80 characters and ended by CR LF.
  std::string line;
  // Refused: the warning to show.
  std::string message;
  // BadFrequency: where the frequency word stands in the trimmed line (0-based).
  std::size_t frequencyStart = 0;
  std::size_t frequencyLength = 0;
  // TooFewWords: what goes back into the typed-input box.
  std::string putBack;

  bool Accepted() const { return outcome == Outcome::Accepted; }
};

// line: as typed, with its CR LF.
SubmissionCheck CheckSubmissionLine(std::string_view line, SubmitVariant variant);

struct SubmissionFields {
  std::string callsign;
  std::string frequencyInteger;
  std::string frequencyDecimal;
  std::string dxCallsign;
  std::string comment;  // or the announcement text
  bool announcement = false;
};

SubmissionFields ParseSubmission(std::string_view line, bool jac);

namespace web {
// Everything but 0-9, a-z and A-Z as "%" and upper-case hex without a leading
// zero. (The web searches' encoding is another: they send UTF-8.)
std::string UrlEncode(std::string_view text);
}  // namespace web

// tnc: lines end with CR alone and the User-Agent and Host lines are left out.
std::string BuildSubmissionRequest(std::string_view line, bool jac, bool tnc);

}  // namespace qn
