#include "core/frame_state.h"

#include <algorithm>

namespace qn {

const MenuItemState& FrameState::Item(const std::string& id) const {
  static const MenuItemState kDefault;
  auto it = items_.find(id);
  return it == items_.end() ? kDefault : it->second;
}

void FrameState::SetChecked(const std::string& id, bool checked) {
  auto& item = items_[id];
  if (item.checked == checked) return;
  item.checked = checked;
  Notify(FrameField::Menu);
}

void FrameState::SetEnabled(const std::string& id, bool enabled) {
  auto& item = items_[id];
  if (item.enabled == enabled) return;
  item.enabled = enabled;
  Notify(FrameField::Menu);
}

void FrameState::SetCaption(const std::string& id, const std::string& caption) {
  auto& item = items_[id];
  if (item.caption == caption) return;
  item.caption = caption;
  Notify(FrameField::Menu);
}

void FrameState::RemoveListener(FrameListener* l) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void FrameState::Notify(FrameField which) {
  // A listener may remove itself while being told.
  auto copy = listeners_;
  for (auto* l : copy) l->OnFrameChanged(which);
}

}  // namespace qn
