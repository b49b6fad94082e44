#include "platform/qt/qt_url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace qn {

bool QtUrlOpener::Open(const std::string& url) {
  // The addresses are percent-encoded already: nothing for QUrl to re-encode.
  QUrl u = QUrl::fromEncoded(QByteArray(url.data(), static_cast<qsizetype>(url.size())), QUrl::StrictMode);
  if (!u.isValid()) return false;
  return QDesktopServices::openUrl(u);
}

}  // namespace qn
