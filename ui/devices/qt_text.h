// Texts cross between the core's Windows-1252 and Qt here.
#pragma once

#include <QString>
#include <string>

#include "base/win1252.h"

namespace kassio {

inline QString qtText(const std::string& win1252) {
    return QString::fromStdString(win1252ToUtf8(win1252));
}
inline std::string coreText(const QString& text) {
    return utf8ToWin1252(text.toStdString());
}

}  // namespace kassio
