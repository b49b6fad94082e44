// The rules of the site list dialog frmsite: the names in file order, the
// selection and its comment, and New, Edit, Delete, OK and Cancel. Reads and
// changes the site file through SiteFile; OK connects through the telnet
// session (or the hook a TNC instance sets).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qn {

class Instance;
class SiteEditorRules;

class SiteList {
 public:
  static constexpr const char* kCaption = "Quillnet: Connect to site";

  explicit SiteList(Instance& app);
  ~SiteList();

  // ShowSiteList: opens the dialog with the list filled and the current site selected.
  void Show();
  bool Open() const { return open_; }

  // Reads all records; the names, trimmed, in file order.
  void FillSiteList();
  const std::vector<std::string>& Names() const { return names_; }
  // Selects the entry with that name (upper-cased comparison); false when none.
  bool SelectSite(std::string_view name);
  // A click in Listsite (-1: nothing selected).
  void Select(int index);
  int SelectedIndex() const { return selected_; }
  std::string SelectedName() const;
  // Labcomment: the selected site's comment.
  const std::string& Comment() const { return comment_; }

  // OK (also Enter in the list): the selected site becomes the current one,
  // goes first in the site file, and is connected. False when none is selected.
  bool Ok();
  // Cancel (also Escape in the list).
  void Cancel() { open_ = false; }
  // The editor for a new site, or for the selected one (null when none is selected).
  std::unique_ptr<SiteEditorRules> New();
  std::unique_ptr<SiteEditorRules> Edit();
  // Removes the selected site and its script; false when nothing was removed.
  bool Delete();

  // Connects the current site once the user chose it (set by the session).
  std::function<void()> connectCurrentSite;

 private:
  // The selected entry's record number, checked against the file (0: none).
  std::size_t SelectedRecord() const;

  Instance& app_;
  std::vector<std::string> names_;
  int selected_ = -1;
  std::string comment_;
  bool open_ = false;
};

}  // namespace qn
