// The rules of the capture dialog Frmfil: the checks and question of its OK,
// and the menu entry that opens or closes the capture. The Qt dialog picks the
// folder and name; the console asks for them.
#pragma once

#include <string>

namespace qn {

class Instance;

struct CaptureFields {
  std::string folder;    // where the file goes
  std::string fileName;  // as typed
  bool spotsOnly = false;
};

// OK pressed: true when the capture is open and the dialog may close.
bool CaptureDialogOk(Instance& app, const CaptureFields& fields);
// "&Open Capture File..." / "&Close Capture File": closes a running capture
// (returns false), or returns true when the dialog should open.
bool CaptureMenu(Instance& app);
void CloseCapture(Instance& app);

inline constexpr const char* kCaptureMenuId = "mnucapture";
inline constexpr const char* kOpenCaptureCaption = "&Open Capture File...";
inline constexpr const char* kCloseCaptureCaption = "&Close Capture File";

}  // namespace qn
