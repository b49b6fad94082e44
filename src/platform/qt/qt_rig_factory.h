// Makes the program's rigs: a rigctld client, or Hamlib's library on a worker
// thread whose answers are queued to the application's thread (the UI's).
#pragma once

#include "platform/rig.h"

namespace qn {

class QtRigFactory : public RigFactory {
 public:
  std::unique_ptr<Rig> Create(const RigSettings& settings) override;
};

}  // namespace qn
