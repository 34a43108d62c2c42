// Windows-1251 text to and from Qt's strings: the one conversion at the edge of every widget.
#pragma once

#include "platform/codepage.h"

#include <QString>

inline QString ToQString(std::string_view ansi) {
    const std::u16string wide = AnsiToWide(ansi);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

// Characters that Windows-1251 cannot hold become '?'.
inline AnsiString FromQString(const QString& text) {
    return WideToAnsi(text.toStdU16String());
}

// A UTF-8 source literal as a Qt string: QtText("Отмена").
inline QString QtText(const char* utf8Literal) {
    return QString::fromUtf8(utf8Literal);
}
