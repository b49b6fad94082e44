// The traffic settings dialogs as the console asks them: one question a field,
// the current value shown in brackets. An empty answer keeps the value, "-"
// empties a text, and cancelling any question (end of input) changes nothing.
#pragma once

namespace qn {

class App;
class Prompter;

namespace console {

void FilterDialog(App& app, Prompter& ask);
void AlertsDialog(App& app, Prompter& ask);
void TalkDialog(App& app, Prompter& ask);
void SoundDialog(App& app, Prompter& ask);
void VoiceDialog(App& app, Prompter& ask);
void LinksDialog(App& app, Prompter& ask);
// "Quillnet: Web Cluster Configuration".
void WebClusterDialog(App& app, Prompter& ask);
// Each box's text and background colour as "R,G,B" (console_colours.cpp).
void ColoursDialog(App& app, Prompter& ask);
// Off, rigctld or Hamlib and their fields; then an offer to test (console_rig.cpp).
void RigDialog(App& app, Prompter& ask);
// The windows' font: name, size, bold and italic (console_fonts.cpp).
void FontsDialog(App& app, Prompter& ask);
// The aux port (with the device each port number names) and the TNC (console_serial.cpp).
void AuxCommDialog(App& app, Prompter& ask);
void TncParametersDialog(App& app, Prompter& ask);

}  // namespace console
}  // namespace qn
