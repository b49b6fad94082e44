// The one place text crosses between the program's 8-bit strings and Qt's
// QString: Latin-1 both ways, so every byte survives the round trip.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

namespace qn {

inline QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters beyond Latin-1 become "?", as a Latin-1 text box would show them.
inline std::string FromQString(const QString& text) {
  QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace qn
