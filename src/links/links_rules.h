// The rules of the links dialog Frmcfgdxh ("Quillnet: Links to DX-HUNTER and
// other programs"): the log link with its folder, and the program the spots
// are poked to (EXE name, topic, item). Save refuses an enabled link without
// a folder.
#pragma once

#include <string>

#include "core/app_settings.h"

namespace qn {


inline constexpr const char* kLinksDialogCaption = "Quillnet: Links to DX-HUNTER and other programs";
inline constexpr const char* kLogLinkFrameCaption = "Link to DXHUNTER or external LOG";
inline constexpr const char* kProgramLinkFrameCaption = "DDE Link to a Windows application";
inline constexpr const char* kNeedPath = "Must specify a path";

struct LinksFields {
  bool enabled = false;     // "&Enable Link" (Chken)
  std::string logFolder;    // "&DXHUNTER or external Log Path" (Txtdxhp)
  std::string application;  // "EXE &Name (without extension)" (Textexe)
  std::string topic;        // "&Link Topic" (Texttopic)
  std::string item;         // "Link &Item" (Textitem)
};

class LinksRules {
 public:
  static LinksFields Load(const AppSettings& settings);
  // Stores the fields; returns the refusal when the dialog must stay open.
  static std::string Save(const LinksFields& fields, AppSettings& settings);
};

}  // namespace qn
