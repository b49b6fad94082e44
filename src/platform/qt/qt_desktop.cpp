#include "platform/qt/qt_desktop.h"

#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

#include "platform/qt/latin1.h"

namespace qn {

bool QtPrinter::Print(const std::string& title, const std::string& latin1Text) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(ToQString(title));
  if (choose) {
    if (!choose(printer)) return false;
  } else {
    QPrintDialog dialog(&printer, parentWindow ? parentWindow() : nullptr);
    dialog.setWindowTitle("Print " + ToQString(title));
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  // The windows' columns line up only in a fixed-pitch font.
  QTextDocument doc;
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(9);
  doc.setDefaultFont(font);
  QString text = ToQString(latin1Text);
  text.replace("\r\n", "\n");
  doc.setPlainText(text);
  doc.print(&printer);
  return printer.printerState() != QPrinter::Error;
}

bool QtHelpViewer::Show(const std::string& document, const std::string& topic) {
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(document));
  if (!topic.empty()) url.setFragment(QString::fromStdString(topic));
  return QDesktopServices::openUrl(url);
}

std::optional<std::string> LinuxSystemMemory::MemInfo() {
  QFile f("/proc/meminfo");
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = f.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace qn
