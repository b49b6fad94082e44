#include "platform/qt/qt_launcher.h"

#include <QProcess>
#include <QStringList>

#include "platform/qt/latin1.h"

namespace qn {

bool QtLauncher::Start(const std::filesystem::path& program, const std::vector<std::string>& args,
                       WindowStyle) {
  QStringList list;
  for (const std::string& a : args) list << ToQString(a);
  QProcess process;
  process.setProgram(QString::fromStdString(program.string()));
  process.setArguments(list);
  process.setWorkingDirectory(QString::fromStdString(program.parent_path().string()));
  // In console mode our standard input is the user's typing and our standard
  // output the event lines: a helper gets neither.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  return process.startDetached();
}

}  // namespace qn
