// The module's own application (no host application in this process) speaks Russian in Qt's
// standard texts: the edit menus of every text field and spin box.
#include "platform/gui/window.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

// The menu's entries without their shortcuts ("&Копировать\tCtrl+C" reads "&Копировать").
QStringList Entries(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
    return texts;
}

void ExpectRussian(const QStringList& entries) {
    ASSERT_GE(entries.size(), 5) << entries.join(QLatin1Char('|')).toStdString();
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    static const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
    for (const QString& text : entries) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(text.contains(latin));
        EXPECT_TRUE(text.contains(cyrillic));
    }
}

// The edit menus of a line edit, a memo and a spin box read Russian.
void CheckEditMenus() {
    QLineEdit line(QStringLiteral("12.5"));
    const std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
    ExpectRussian(Entries(*lineMenu));

    QPlainTextEdit memo(QStringLiteral("1;2"));
    const std::unique_ptr<QMenu> memoMenu(memo.createStandardContextMenu());
    ExpectRussian(Entries(*memoMenu));

    // A spin box builds its menu (the edit's entries and its steps) when asked and shows it at
    // once.
    QSpinBox spin;
    spin.show();
    QStringList spinEntries;
    QTimer::singleShot(0, [&spinEntries] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            spinEntries = Entries(*menu);
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), spin.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&spin, &event);
    ExpectRussian(spinEntries);
}

TEST(QtTranslation, EditMenusAreRussianInTheModulesOwnApplication) {
    EnsureGuiApplication(); // no test main here: the application is the module's
    CheckEditMenus();
    // The file dialog's type of a folder, which Qt's own Russian translation lacks.
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
              QStringLiteral("Папка"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Открыть"));
    // The module frees its own application when it is unloaded; so does this test, before the
    // process's exit handlers run.
    ReleaseGuiApplication();
}

} // namespace
