#pragma once

// Texts between the program (UTF-8 in std::string) and Qt.

#include <QString>
#include <string>
#include <string_view>

namespace orvanta {

inline QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string str(const QString& text) { return text.toStdString(); }

}  // namespace orvanta
