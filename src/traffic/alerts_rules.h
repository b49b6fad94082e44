// The rules of the alerts dialog frmcfgal: what it shows, the sound files it
// offers, "&Test", "Run Mailbell" and what "&Save" stores. The Qt dialog and
// the console lay it out; matching is Alerts'.
#pragma once

#include <string>
#include <vector>

namespace qn {

class Alerts;
class Instance;

inline constexpr const char* kAlertsCaption = "Quillnet: Alerts Setup";
inline constexpr const char* kAlertTestPrompt =
    "Type a prefix or callsign you want the alert for; the alert (if any) is executed just once. Press "
    "just Enter or Esc to test the alert sound.";
inline constexpr const char* kMailbellProgram = "MAILBELL\\MAILBELL.EXE";

struct AlertFields {
  std::string list;         // Txtalert
  bool enabled = false;     // Chkalen
  std::string soundFile;    // Lblalert, lower-case
  std::string repetitions;  // Txtrep, digits
  bool lptSwitch = false;   // Chkswitch
};

class AlertsRules {
 public:
  AlertsRules(Instance& app, Alerts* alerts) : app_(app), alerts_(alerts) {}

  AlertFields Load() const;
  // The "*.WAV" files of the sound folder, as Filalert lists them.
  std::vector<std::string> SoundFiles() const;
  // Txtrep takes digits (and the editing keys) only.
  static bool RepetitionKeyAllowed(char c);
  // "&Test": asks for a call or text and runs the alert once on the dialog's
  // values; an empty answer plays the chosen sound once. Returns whether an
  // alert matched.
  bool Test(const AlertFields& fields);
  // "Run Mailbell": starts the mail program when there is one.
  void RunMailbell();
  // "&Save": stores the values, writes ALERT.TXT unless the list is empty.
  void Save(const AlertFields& fields);

 private:
  Instance& app_;
  Alerts* alerts_;
};

}  // namespace qn
