// The running instances, as entries in a per-user runtime folder
// ($XDG_RUNTIME_DIR/quillnet, or QUILLNET_RUNTIME_DIR): one file per process,
// named by its pid and holding its title. The folder is 0700 so other users
// neither see nor reach the instances.
#pragma once

#include <QString>

#include "platform/instance_registry.h"

namespace qn {

class QtInstanceRegistry : public InstanceRegistry {
 public:
  QtInstanceRegistry();
  ~QtInstanceRegistry() override;
  std::vector<std::string> OtherTitles() override;
  void SetOwnTitle(const std::string& title) override;

  static QString RuntimeFolder();

 private:
  QString folder_;
  QString ownEntry_;
};

}  // namespace qn
