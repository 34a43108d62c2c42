// Renders every registered dialog offscreen into PNG files: screens OUTPUT_DIR [SUFFIX]
// [NAME_FILTER]. Run once at the normal scale and once with QT_SCALE_FACTOR=2 and the suffix
// "@2x" (scripts/screens does both).
#include "platform/gui/qt_translation.h"
#include "screens/screen_registry.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTest>

#include <cstdio>

namespace {

std::vector<TScreen>& Screens() {
    static std::vector<TScreen> screens;
    return screens;
}

} // namespace

bool RegisterScreens(std::vector<TScreen> screens) {
    for (auto& screen : screens)
        Screens().push_back(std::move(screen));
    return true;
}

const std::vector<TScreen>& RegisteredScreens() {
    return Screens();
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own texts as the Russian host shows them.
    InstallQtTranslation(app);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialog_screens OUTPUT_DIR [SUFFIX] [NAME_FILTER]\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QString suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString filter = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    QDir().mkpath(output);
    // A fixed working folder, so that the file paths the dialogs show are the same in every
    // rendering and a picture changes only when its dialog does.
    QDir work(QDir::tempPath() + QStringLiteral("/textimport-screens"));
    work.removeRecursively();
    QDir().mkpath(work.path());
    const TScreenContext context{TI_SOURCE_DIR, TI_BIN_DIR, work.path().toStdString()};

    int failures = 0;
    for (const TScreen& screen : RegisteredScreens()) {
        const QString name = QString::fromStdString(screen.name);
        if (!filter.isEmpty() && !name.contains(filter))
            continue;
        try {
            std::unique_ptr<QWidget> widget = screen.make(context);
            widget->show();
            QTest::qWait(50); // layouts, delayed events and posted selections settle
            const QString file = QStringLiteral("%1/%2%3.png").arg(output, name, suffix);
            if (!widget->grab().save(file)) {
                std::fprintf(stderr, "screens: cannot write %s\n", qPrintable(file));
                ++failures;
                continue;
            }
            std::printf("%s\n", qPrintable(file));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "screens: %s: %s\n", screen.name.c_str(), e.what());
            ++failures;
        }
    }
    work.removeRecursively();
    return failures == 0 ? 0 : 1;
}
