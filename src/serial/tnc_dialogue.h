// The program's dialogues with a TNC on the aux port: the six control
// sequences of both terminal modes, reading a reply by its time windows,
// waking the TNC (with the initialisation file), command and converse mode,
// and the disconnect. Talks to the AuxPort; waits go through the event loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/files.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/prompter.h"
#include "serial/aux_port.h"

namespace qn {

inline constexpr const char* kInitStatus = "Init.TNC, Esc to Stop...";
inline constexpr const char* kStopQuestion = "Stop current process?";
inline constexpr const char* kTaprCommandCaption = "TNC &Command Mode";
inline constexpr const char* kTaprConverseCaption = "TNC &Converse Mode";
inline constexpr const char* kDedEscCaption = "&Send Esc";

enum class TncMode { Tapr = 1, Wa8ded = 2 };

class TncDialogue {
 public:
  static constexpr int kPauseMs = 1100;
  static constexpr int kReplyWindowMs = 1100;
  static constexpr int kMoreWindowMs = 100;
  static constexpr int kPlusPauseMs = 1000;
  // Larger initialisation files are not sent: each line waits for a reply.
  static constexpr std::uintmax_t kMaxInitFile = 64 * 1024;

  TncDialogue(AuxPort& aux, EventLoop& loop, Clock& clock, Prompter& prompter);

  void SetMode(TncMode mode) { mode_ = mode; }
  TncMode Mode() const { return mode_; }

  // Code 1 to 6 of the table of both modes.
  void SendTncControl(int code);
  // What the TNC answers: lines joined with CR LF, an unfinished tail last.
  std::string ReadTncReply();
  // The initialisation file (when it exists), then control codes 1 to 6
  // until one is answered. Empty: the TNC is not responding.
  std::string WakeTnc(const std::string& initPath, const DataFolder& folder);
  // Sends an initialisation file's text line by line, each with its reply.
  void RunInitText(std::string_view text);
  // One line of an initialisation file with its notation, then CR.
  void SendTncInitLine(std::string_view line);
  void DisconnectTnc();

  // "Refresh Data" in a TNC session: the caption it shows, and choosing it.
  std::string ModeCaption() const;
  void ToggleCommandMode();

  // Escape while the initialisation file runs: asks, and stops it on Yes.
  // False when no file is being sent.
  bool OfferToStop();

  // The status line (the text, or empty to hide it) and the terminal + capture.
  std::function<void(const std::string& text)> setStatus;
  std::function<void(const std::string& text)> showReply;

 private:
  void Pause(int ms);
  void Send(std::string_view bytes) { aux_.SendToAuxPort(bytes); }

  AuxPort& aux_;
  EventLoop& loop_;
  Clock& clock_;
  Prompter& prompter_;
  TncMode mode_ = TncMode::Tapr;
  bool converse_ = true;  // TAPR: the menu offers command mode first
};

// Every CR or LF ends a line; empty lines are dropped; the lines are joined
// each followed by CR LF, an unterminated tail kept at the end.
std::string NormaliseTncReply(std::string_view raw);

// The connect notice of a TNC ("*** CONNECTED to ZX0NODE"): the node name,
// empty when the line is no such notice. caption: the main window's.
struct TncNotice {
  std::string node;
  bool reconnected = false;
};
TncNotice ParseTncConnectNotice(std::string_view line, std::string_view caption);
// The caption cut after its "]", then ">" and the node.
std::string TncNoticeCaption(std::string_view caption, std::string_view node);

}  // namespace qn
