// The running copies of the program and their titles, so that each copy can
// count the others of its kind and show its own title to them.
#pragma once

#include <string>
#include <vector>

namespace qn {

class InstanceRegistry {
 public:
  virtual ~InstanceRegistry() = default;
  // Titles of the other running instances (this one left out); dead entries skipped.
  virtual std::vector<std::string> OtherTitles() = 0;
  // Publishes or updates this instance's title.
  virtual void SetOwnTitle(const std::string& title) = 0;
  // True when another instance's window is the active one on the desktop.
  virtual bool AnotherInFront() { return false; }
  // This instance's window became the active one (true) or stopped being it.
  virtual void SetOwnInFront(bool) {}
};

}  // namespace qn
