// A list of listeners for an event that several subsystems want to hear (a
// spot accepted, a line received, a drop). Each subscriber adds itself; firing
// calls them in the order they subscribed. The assembly does the subscribing,
// so no subsystem knows who else listens.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace qn {

template <typename... Args>
class EventList {
 public:
  using Listener = std::function<void(Args...)>;

  void Subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

  // A listener that subscribes while the event is being fired hears the next
  // firing, not this one.
  void Fire(Args... args) const {
    const std::size_t n = listeners_.size();
    for (std::size_t i = 0; i < n; ++i) listeners_[i](args...);
  }

  std::size_t Count() const { return listeners_.size(); }
  void Clear() { listeners_.clear(); }

 private:
  // A deque, so a subscription made while firing does not move the listener being called.
  std::deque<Listener> listeners_;
};

}  // namespace qn
