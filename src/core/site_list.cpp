#include "core/site_list.h"

#include <algorithm>

#include "core/instance.h"
#include "core/site_editor_rules.h"
#include "core/site_file.h"
#include "core/text.h"

namespace qn {

SiteList::SiteList(Instance& app) : app_(app) {}
SiteList::~SiteList() = default;

void SiteList::Show() {
  FillSiteList();
  if (!SelectSite(app_.State().currentSite.Name()) && !names_.empty()) Select(0);
  open_ = true;
}

void SiteList::FillSiteList() {
  std::string keep = SelectedName();
  names_.clear();
  for (const SiteRecord& r : SiteFile(app_.Folder(), app_.State().sessionKind).ReadAll())
    names_.push_back(r.Name());
  selected_ = -1;
  comment_.clear();
  if (!keep.empty()) SelectSite(keep);
}

bool SiteList::SelectSite(std::string_view name) {
  std::string key = UCase(Trim(name));
  if (key.empty()) return false;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (UCase(names_[i]) == key) {
      Select(static_cast<int>(i));
      return true;
    }
  }
  return false;
}

void SiteList::Select(int index) {
  comment_.clear();
  if (index < 0 || index >= static_cast<int>(names_.size())) {
    selected_ = -1;
    return;
  }
  selected_ = index;
  if (auto r = SiteFile(app_.Folder(), app_.State().sessionKind).Read(static_cast<std::size_t>(index) + 1)) {
    comment_ = r->Comment();
  }
}

std::string SiteList::SelectedName() const {
  return selected_ < 0 ? std::string() : names_[static_cast<std::size_t>(selected_)];
}

std::size_t SiteList::SelectedRecord() const {
  if (selected_ < 0) return 0;
  SiteFile file(app_.Folder(), app_.State().sessionKind);
  // The list is in file order; if the file changed behind it, go by the name.
  const std::size_t number = static_cast<std::size_t>(selected_) + 1;
  auto r = file.Read(number);
  if (r && r->Key() == UCase(Trim(SelectedName()))) return number;
  return file.FindSite(SelectedName());
}

bool SiteList::Ok() {
  const std::size_t number = SelectedRecord();
  if (number == 0) return false;
  SiteFile file(app_.Folder(), app_.State().sessionKind);
  auto record = file.Read(number);
  if (!record) return false;
  AppState& st = app_.State();
  if (st.sessionKind == SessionKind::Telnet) st.startupHost.clear();
  st.currentSite = *record;
  st.pendingSite = *record;
  open_ = false;
  file.SwapWithFirst(number);
  FillSiteList();
  SelectSite(record->Name());
  if (connectCurrentSite) connectCurrentSite();
  return true;
}

std::unique_ptr<SiteEditorRules> SiteList::New() { return std::make_unique<SiteEditorRules>(app_, this); }

std::unique_ptr<SiteEditorRules> SiteList::Edit() {
  const std::size_t number = SelectedRecord();
  if (number == 0) return nullptr;
  auto editor = std::make_unique<SiteEditorRules>(app_, this);
  if (!editor->BeginEdit(number)) return nullptr;
  return editor;
}

bool SiteList::Delete() {
  const std::size_t number = SelectedRecord();
  if (number == 0) return false;
  // SiteFile removes the script with the record, unless another site shares it.
  if (!SiteFile(app_.Folder(), app_.State().sessionKind).Delete(number)) return false;
  const int was = selected_;
  selected_ = -1;
  FillSiteList();
  if (!names_.empty()) Select(std::min(was, static_cast<int>(names_.size()) - 1));
  return true;
}

}  // namespace qn
