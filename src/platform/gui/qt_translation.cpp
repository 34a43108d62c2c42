#include "platform/gui/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace {

// Texts that Qt 6 asks for under contexts that Debian's Russian translation of Qt does not
// have yet (it still has them under Qt 5's names): the file dialog's type column would read
// "Folder" among Russian file types.
class TMissingQtTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        struct TText {
            const char* context;
            const char* source;
            const char* russian;
        };
        static constexpr TText kTexts[] = {
            {"QAbstractFileIconProvider", "Drive", "Диск"},
            {"QAbstractFileIconProvider", "Folder", "Папка"},
            {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
            {"QAbstractFileIconProvider", "Unknown", "Неизвестный"},
        };
        if (!context || !sourceText)
            return {};
        for (const TText& text : kTexts)
            if (std::strcmp(context, text.context) == 0 &&
                std::strcmp(sourceText, text.source) == 0)
                return QString::fromUtf8(text.russian);
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool InstallQtTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    // Installed last, asked first; it answers only for its own texts.
    return QCoreApplication::installTranslator(new TMissingQtTexts(&app));
}
