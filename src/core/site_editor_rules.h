// The rules of the site editor Frmsited: key filters, enables, the warnings of
// the script and bridge boxes, and Save, which checks the fields in order and
// stores the record through SiteFile and the script in the SCRIPT folder.
// The Qt dialog and the console only lay out the fields and call these.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/site_record.h"

namespace qn {

class Instance;
class SiteList;

// The editor's controls, as values.
struct SiteFields {
  std::string name;             // Txtsitname
  std::string address;          // Txtsitadd
  bool customPort = false;      // Optportc (clear: Optportt)
  std::string port;             // Txtsitport
  bool keepAlive = false;       // Chkkeepen
  std::string keepAlivePeriod;  // Txtsitper
  bool useScript = false;       // Checkautoc
  bool autoReconnect = false;   // Checkautor
  bool bridgeFrom = false;      // Checkfrom
  bool bridgeTo = false;        // Checkto
  bool ddeIn = false;           // Chkddein
  bool ddeOut = false;          // Chkddeout
  bool serviceOther = false;    // Optoth (clear: Optdxc)
  std::string comment;          // Txtcomment
  std::string script;           // Textscript
  bool operator==(const SiteFields&) const = default;
};

class SiteEditorRules {
 public:
  static constexpr const char* kEditCaption = "Quillnet: Edit site";
  static constexpr const char* kNewCaption = "Quillnet: New site";
  static constexpr const char* kScriptNull =
      "The script file is null: you'll have to edit a script file before doing this";
  static constexpr const char* kScriptPlaceholders =
      "You'll have to edit the script and set your call and password before doing this";
  static constexpr const char* kBridgeFromWarning =
      "Warning: by checking this box, the DX spots received by other telnet sessions (if any) and by the Aux "
      "Comm Port (if enabled) will be bridged to the current telnet session, by using the DX/CALL format.";
  static constexpr const char* kBridgeToWarning =
      "Warning: by checking this box, the DX spots received by the current telnet session will be bridged to "
      "the Aux Comm Port (if enabled), by using the DX/CALL format.";
  static constexpr const char* kNoName = "Must specify a site name";
  static constexpr const char* kNoAddress = "IP address or host name required";
  static constexpr const char* kBadAddress = "Host address not valid";
  static constexpr const char* kNoPort = "Must specify a custom port";
  static constexpr const char* kNoPeriod = "Must specify a keep alive period";
  static constexpr const char* kDuplicate = "A site with this name already exists";
  static constexpr const char* kChangesAtNextConnection =
      "Changes (if any) will be active at next connection";
  static constexpr const char* kSiteNotSaved = "The site could not be saved to the site file";
  static constexpr const char* kScriptNotSaved = "The script file could not be saved";

  // A new site: empty fields and an empty script. `list` (may be null) is
  // refreshed after a save.
  SiteEditorRules(Instance& app, SiteList* list);
  // Edits record `number` of the site file and its script; false when there
  // is no such record (the editor stays in new-site mode).
  bool BeginEdit(std::size_t number);

  bool IsNew() const { return number_ == 0; }
  const std::string& Caption() const { return caption_; }
  // The values the dialog opens with.
  const SiteFields& Initial() const { return initial_; }
  static SiteFields FieldsOf(const SiteRecord& record, std::string script);

  // Key filters (Backspace is code 8).
  static bool NameKeyAllowed(char c);
  static bool PeriodKeyAllowed(char c);
  // The same filters for text that arrives whole (pasted, typed at the console).
  static std::string FilterName(std::string_view text);
  static std::string FilterPeriod(std::string_view text);

  // Enables: "Custo&m" enables the port box, "&Enabled" the period box.
  static bool PortBoxEnabled(const SiteFields& f) { return f.customPort; }
  static bool PeriodBoxEnabled(const SiteFields& f) { return f.keepAlive; }

  // Enter in the address box: the address checks of Save; shows and returns
  // the refusal, empty when the address passes.
  std::string CheckAddress(const std::string& address) const;
  // Ticking "&Use script" or "Enab&le Auto Reconnection": false (with its
  // message shown) when the box must be unticked again.
  bool TickScriptOption(const std::string& script) const;
  // Ticking a bridge box: the warning with OK and Cancel; false on Cancel.
  bool TickBridgeFrom() const;
  bool TickBridgeTo() const;

  // The editor's OK. Shows each refusal (and, after an edit, the note that
  // changes apply at the next connection) and returns the refusal text; empty
  // when the site was stored and the editor may close.
  std::string Save(const SiteFields& fields);

 private:
  std::string Refuse(const std::string& text) const;
  std::string AddressError(const std::string& address) const;
  bool Tnc() const;

  Instance& app_;
  SiteList* list_;
  std::size_t number_ = 0;    // 0: a new site
  std::string originalName_;  // the edited record's name when opened
  SiteFields initial_;
  std::string caption_ = kNewCaption;
};

}  // namespace qn
