// The frame's side of rig control: the gesture on the spot and terminal
// windows and the passband marks in the spot window.
#include "app/app.h"
#include "rig/rig_control.h"
#include "ui/main_frame.h"
#include "ui/rig_view.h"
#include "ui/traffic_view.h"

namespace qn {

void MainFrame::WireRigView(WindowId id, TrafficView* view) {
  if (!app_ || !app_->Rig() || (id != WindowId::Spots && id != WindowId::Terminal)) return;
  auto* filter = new RigClickFilter(*view, [this](const std::string& line) {
    if (app_ && app_->Rig()) app_->Rig()->TuneToLine(line);
  });
  filter->setParent(this);
  rigClicks_.push_back(filter);
  if (id == WindowId::Spots && !rigMarks_) rigMarks_ = new RigSpotHighlighter(view->document(), *app_->Rig());
}

void MainFrame::UnwireRig() {
  for (QObject* f : rigClicks_) delete f;
  rigClicks_.clear();
  if (rigMarks_) {
    rigMarks_->Detach();
    rigMarks_->setDocument(nullptr);
    delete rigMarks_;
    rigMarks_ = nullptr;
  }
}

}  // namespace qn
