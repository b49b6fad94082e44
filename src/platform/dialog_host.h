// Opens the program's modal dialogs. The Qt front end shows its dialog classes;
// the console front end asks for each field with input boxes. Either way the
// dialog's rules and its Save are the core's.
#pragma once

namespace qn {

enum class DialogKind {
  PersonalInfo,
  Capture,
  Macros,
  SiteList,
  Alerts,
  Filters,
  TalkFunctions,
  Colours,
  SoundEffects,
  VoiceBroadcaster,
  RigControl,
  Fonts,
  Links,
  WebCluster,
  AuxComm,
  TncParameters
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual void Open(DialogKind kind) = 0;
};

}  // namespace qn
