#include "platform/qt/qt_instance_registry.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

namespace qn {

namespace {

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

QString QtInstanceRegistry::RuntimeFolder() {
  QString over = qEnvironmentVariable("QUILLNET_RUNTIME_DIR");
  if (!over.isEmpty()) return over;
  QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (base.isEmpty()) base = QDir::tempPath() + "/quillnet-" + QString::number(::getuid());
  return base + "/quillnet";
}

QtInstanceRegistry::QtInstanceRegistry() : folder_(RuntimeFolder()) {
  QDir().mkpath(folder_);
  ::chmod(QFile::encodeName(folder_).constData(), 0700);
  ownEntry_ = folder_ + "/" + QString::number(::getpid()) + ".instance";
  SetOwnTitle("Quillnet");
}

QtInstanceRegistry::~QtInstanceRegistry() { QFile::remove(ownEntry_); }

std::vector<std::string> QtInstanceRegistry::OtherTitles() {
  std::vector<std::string> titles;
  QDir dir(folder_);
  for (const QString& name : dir.entryList({"*.instance"}, QDir::Files)) {
    QString path = dir.filePath(name);
    if (path == ownEntry_) continue;
    bool ok = false;
    long pid = name.section('.', 0, 0).toLong(&ok);
    if (!ok || !ProcessAlive(pid)) {
      QFile::remove(path);  // left behind by a copy that died
      continue;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) continue;
    QByteArray title = f.readAll().trimmed();
    titles.emplace_back(title.constData(), static_cast<std::size_t>(title.size()));
  }
  return titles;
}

void QtInstanceRegistry::SetOwnTitle(const std::string& title) {
  QSaveFile f(ownEntry_);
  if (!f.open(QIODevice::WriteOnly)) return;
  f.write(title.data(), static_cast<qint64>(title.size()));
  f.commit();
}

}  // namespace qn
