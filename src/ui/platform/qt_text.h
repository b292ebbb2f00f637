// Texts between core (UTF-8 std::string) and Qt.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tavir::ui {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStdString(const QString& text) { return text.toStdString(); }

// A message text with its "|" turned into line breaks.
QString messageText(std::string_view text);

}  // namespace tavir::ui
