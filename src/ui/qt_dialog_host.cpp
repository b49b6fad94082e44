#include "ui/qt_dialog_host.h"

#include "app/app.h"
#include "core/frame_commands.h"
#include "ui/alerts_dialog.h"
#include "ui/capture_file_dialog.h"
#include "ui/colours_dialog.h"
#include "ui/filter_dialog.h"
#include "ui/fonts_dialog.h"
#include "ui/aux_comm_dialog.h"
#include "ui/links_dialog.h"
#include "ui/tnc_parameters_dialog.h"
#include "ui/macros_dialog.h"
#include "ui/personal_info_dialog.h"
#include "ui/rig_control_dialog.h"
#include "ui/site_list_dialog.h"
#include "ui/sound_dialog.h"
#include "ui/talk_dialog.h"
#include "ui/voice_dialog.h"
#include "ui/web_cluster_dialog.h"

namespace qn {

void QtDialogHost::Open(DialogKind kind) {
  if (!app_) return;
  QWidget* parent = parentWindow ? parentWindow() : nullptr;
  switch (kind) {
    case DialogKind::PersonalInfo: {
      PersonalInfoDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Capture: {
      CaptureFileDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Macros: {
      MacrosDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::SiteList: {
      SiteListDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Alerts: {
      AlertsDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Filters: {
      FilterDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::TalkFunctions: {
      TalkDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::SoundEffects: {
      SoundDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::VoiceBroadcaster: {
      VoiceDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::RigControl: {
      RigControlDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Colours: {
      ColoursDialogWindow dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::Fonts:
      if (app_->FrameCmds()) ShowFontsDialog(*app_->FrameCmds(), parent);
      break;
    case DialogKind::Links: {
      LinksDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::WebCluster: {
      WebClusterDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::AuxComm: {
      AuxCommDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
    case DialogKind::TncParameters: {
      TncParametersDialog dlg(*app_, parent);
      dlg.exec();
      break;
    }
  }
}

}  // namespace qn
