// The rules of the "Rig Control" dialog: its fields as texts, their checks and
// messages, Save (RIG.TXT, then the new settings take effect) and "Test". The
// Qt dialog and the console's questions only lay them out.
#pragma once

#include <functional>
#include <string>

#include "platform/rig.h"

namespace qn {

class DataFolder;
class RigControl;

inline constexpr const char* kRigDialogCaption = "Rig Control";

struct RigFields {
  RigAccess use = RigAccess::Off;
  std::string host;
  std::string port;
  std::string model;
  std::string device;
  std::string speed;
};

class RigControlRules {
 public:
  RigControlRules(RigControl& control, const DataFolder& folder) : control_(control), folder_(folder) {}

  RigFields Load() const;
  // The settings the fields give; the message saying what is wrong instead
  // ("" when all is well). Only the fields of the chosen access are checked.
  static std::string Check(const RigFields& fields, RigSettings& settings);
  // Stores RIG.TXT and applies the settings; the message when that failed.
  std::string Save(const RigFields& fields);
  // Reads the frequency with the fields as they stand; done gets the text to show.
  void Test(const RigFields& fields, std::function<void(bool ok, const std::string& text)> done);

 private:
  RigControl& control_;
  const DataFolder& folder_;
};

RigFields FieldsOf(const RigSettings& settings);

}  // namespace qn
