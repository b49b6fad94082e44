#include "session/capture_rules.h"

#include <filesystem>

#include "core/instance.h"
#include "core/text.h"

namespace qn {

bool CaptureDialogOk(Instance& app, const CaptureFields& fields) {
  std::string name = Trim(fields.fileName);
  if (name.empty()) {
    app.Prompt().MessageBox("Must specify a file name", MsgIcon::Exclamation);
    return false;
  }
  std::filesystem::path path = std::filesystem::path(fields.folder) / name;
  std::error_code ec;
  bool append = false;
  if (std::filesystem::exists(path, ec) && std::filesystem::file_size(path, ec) > 0 && !ec) {
    MsgResult r =
        app.Prompt().MessageBox("Selected file already exists. Overwrite it?\r\n(Choose NO, to append)",
                                MsgIcon::Question, MsgButtons::YesNoCancel, 1);
    if (r == MsgResult::Cancel) return false;
    append = r == MsgResult::No;
  }
  if (!app.CaptureFile().Open(path, fields.spotsOnly, append)) {
    app.Prompt().MessageBox("The capture file " + path.string() + " cannot be opened", MsgIcon::Exclamation);
    return false;
  }
  app.Frame().SetPrompt("Capture ON");
  app.Frame().SetCaption(kCaptureMenuId, kCloseCaptureCaption);
  return true;
}

void CloseCapture(Instance& app) {
  app.CaptureFile().Close();
  app.Frame().SetPrompt(FrameState::kDefaultPrompt);
  app.Frame().SetCaption(kCaptureMenuId, kOpenCaptureCaption);
}

bool CaptureMenu(Instance& app) {
  if (app.CaptureFile().On()) {
    CloseCapture(app);
    return false;
  }
  return true;
}

}  // namespace qn
