// The DX robot of a copy whose title begins with "DXROBOT": it answers the
// "SH/DX" and "SH/WWV" requests of other users of an IRC channel with private
// messages and takes their "!DX " and "!ANN " submissions, which go to the
// cluster and to the HAMINFO helper. It reads the display lines the IRC
// session makes of channel and private messages, e.g.
//   <K1ABC>: !DX 14025.5 JA1XYZ big signal
// and sends through RobotHooks.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

struct RobotHooks {
  // The ten most recent bridged spots, oldest first (empty slots included).
  std::function<std::vector<std::string>()> spotRing;
  // Onto the pending-send text, then SendToSession.
  std::function<void(const std::string& text)> send;
  // Starts HAMINFO.EXE of the data folder, minimised, with one argument.
  std::function<void(const std::string& argument)> startHelper;
};

class Robot {
 public:
  static constexpr std::size_t kSubmittedLimit = 300;
  // IRC nicknames are far shorter; a longer sender is not a user.
  static constexpr std::size_t kMaxSender = 30;
  static constexpr std::size_t kMaxComment = 30;
  // A black list is a list of calls, not a file of megabytes.
  static constexpr std::size_t kMaxBlockList = 64 * 1024;
  static constexpr const char* kHelper = "HAMINFO.EXE";

  // sendTerminator: the session's line end, as scripts change it.
  explicit Robot(const std::string& sendTerminator) : terminator_(sendTerminator) {}

  RobotHooks& Hooks() { return hooks_; }

  // The first "DXROBOT" title of the run: the black list (BLACK.LST's text,
  // or empty when there is none) and the start values.
  void Prepare(std::string_view blockList);
  bool Prepared() const { return prepared_; }

  // A line shown in a traffic window: a "WWV de " bulletin becomes the answer to "SH/WWV".
  void OnWindowLine(std::string_view line);
  // One complete received line; returns the text to dispatch after it as if
  // received ("" for none).
  std::string RobotCommand(std::string_view line);

  const std::string& Submitted() const { return submitted_; }
  const std::string& LastWwv() const { return lastWwv_; }

 private:
  void Reply(const std::string& sender, const std::string& text);
  void Send(const std::string& text);
  bool AlreadySubmitted(const std::string& key) const;
  void Remember(const std::string& key);
  std::string SubmitDx(const std::string& sender, std::string_view rest);
  std::string SubmitAnnouncement(const std::string& sender, std::string_view rest);

  const std::string& terminator_;
  RobotHooks hooks_;
  bool prepared_ = false;
  std::string blockList_;
  std::string lastWwv_;
  std::string submitted_ = "\x01";
};

// The sender of a robot request as the IRC session displays it ("<CALL>:"
// before the command); empty when the field is not in that form.
std::string RobotSender(std::string_view field);

}  // namespace qn
