#include "qt_language.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kavrohost {

void UseRussianQtTexts(QApplication& app) {
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
    else
        delete qt;
}

} // namespace kavrohost
