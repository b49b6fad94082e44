#include "platform/qt/qt_launcher.h"

#include <QProcess>
#include <QStringList>

#include "platform/qt/latin1.h"

namespace qn {

bool QtLauncher::Start(const std::filesystem::path& program, const std::vector<std::string>& args, WindowStyle) {
  QStringList list;
  for (const std::string& a : args) list << ToQString(a);
  QString path = QString::fromStdString(program.string());
  QString dir = QString::fromStdString(program.parent_path().string());
  return QProcess::startDetached(path, list, dir);
}

}  // namespace qn
