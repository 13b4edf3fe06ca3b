// Texts between the core (std::string, UTF-8) and the windows (QString).
#pragma once

#include <QString>

#include <string>

namespace kalvor {

inline QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string Utf8(const QString& text) {
    return text.toStdString();
}

} // namespace kalvor
