#include "platform/qt/qt_rig_factory.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "platform/linux/hamlib_rig.h"
#include "platform/qt/qt_rigctld_rig.h"

namespace qn {

std::unique_ptr<Rig> QtRigFactory::Create(const RigSettings& settings) {
  switch (settings.use) {
    case RigAccess::Rigctld:
      return std::make_unique<QtRigctldRig>(settings.host, settings.port);
    case RigAccess::Hamlib: {
      return std::make_unique<HamlibRig>(settings, [](std::function<void()> fn) {
        // Queued into the UI thread; a rig closed by then ignores it there.
        if (QCoreApplication* app = QCoreApplication::instance())
          QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
      });
    }
    case RigAccess::Off:
      break;
  }
  return nullptr;
}

}  // namespace qn
