#include "links/instance_list.h"

#include "core/text.h"

namespace qn {

std::string InstanceTag(std::string_view title) {
  std::size_t open = title.find('[');
  if (open == std::string_view::npos) return {};
  std::size_t close = title.find(']', open + 1);
  if (close == std::string_view::npos) return {};
  return std::string(title.substr(open + 1, close - open - 1));
}

namespace {

bool Listed(const std::string& list, const std::string& tag) {
  for (const std::string& t : SplitInstanceList(list)) {
    if (t == tag) return true;
  }
  return false;
}

}  // namespace

InstanceLists FindInstances(const std::vector<std::string>& titles, std::string_view ownTag) {
  InstanceLists lists;
  for (const std::string& title : titles) {
    if (InStr(title, "Quillnet") == 0) continue;
    std::size_t open = title.find('[');
    if (open == std::string::npos || title.find(']', open + 1) == std::string::npos) continue;
    std::string tag = InstanceTag(title);
    if (tag == ownTag) continue;
    if (!Listed(lists.instances, tag)) lists.instances += tag + kInstanceSeparator;
    if (StartsWith(UCase(tag), "RELAY") && !Listed(lists.relays, tag))
      lists.relays += tag + kInstanceSeparator;
  }
  return lists;
}

std::vector<std::string> SplitInstanceList(std::string_view list) {
  std::vector<std::string> tags;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t cut = list.find(kInstanceSeparator, start);
    if (cut == std::string_view::npos) cut = list.size();
    tags.emplace_back(list.substr(start, cut - start));
    start = cut + 1;
  }
  return tags;
}

}  // namespace qn
