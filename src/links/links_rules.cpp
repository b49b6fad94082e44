#include "links/links_rules.h"

#include "core/text.h"

namespace qn {

LinksFields LinksRules::Load(const AppSettings& s) {
  return {s.linkEnabled, s.logFolder, s.ddeApplication, s.ddeTopic, s.ddeItem};
}

std::string LinksRules::Save(const LinksFields& f, AppSettings& s) {
  // Folder names on this system are case-sensitive: the path is kept as typed.
  std::string folder = Trim(WithoutLineBreaks(f.logFolder));
  if (f.enabled && folder.empty()) return kNeedPath;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string application = Trim(WithoutLineBreaks(f.application));
  if (EndsWith(UCase(application), ".EXE")) application.resize(application.size() - 4);
  s.linkEnabled = f.enabled;
  s.logFolder = folder;
  s.ddeApplication = application;
  s.ddeTopic = Trim(WithoutLineBreaks(f.topic));
  s.ddeItem = Trim(WithoutLineBreaks(f.item));
  return {};
}

}  // namespace qn
