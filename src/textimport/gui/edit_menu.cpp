#include "textimport/gui/edit_menu.h"

#include "platform/gui/qt_text.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

// Qt's standard entries by their object names, with their English texts as a fallback.
struct TEntry {
    const char* objectName;
    const char* english;
    const char* russian;
};

constexpr TEntry kEntries[] = {
    {"edit-undo", "&Undo", "&Отменить"},
    {"edit-redo", "&Redo", "&Повторить"},
    {"edit-cut", "Cu&t", "&Вырезать"},
    {"edit-copy", "&Copy", "&Копировать"},
    {"edit-paste", "&Paste", "Вст&авить"},
    {"edit-delete", "Delete", "&Удалить"},
    {"select-all", "Select All", "Выделить &все"},
};

void Translate(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        const QString caption = tab < 0 ? text : text.left(tab);
        const QString shortcut = tab < 0 ? QString() : text.mid(tab);
        for (const TEntry& entry : kEntries) {
            if (action->objectName() == QLatin1String(entry.objectName) ||
                caption == QLatin1String(entry.english)) {
                action->setText(QtText(entry.russian) + shortcut);
                break;
            }
        }
    }
}

// `area` is the widget whose coordinates the request's position is in (a scroll area's
// viewport).
template <class TEdit> void Install(TEdit& edit, QWidget& area) {
    edit.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&edit, &QWidget::customContextMenuRequested, &edit, [&edit, &area](QPoint at) {
        QMenu* menu = edit.createStandardContextMenu();
        Translate(*menu);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(area.mapToGlobal(at));
    });
}

} // namespace

void UseRussianEditMenu(QPlainTextEdit& edit) {
    Install(edit, *edit.viewport());
}

void UseRussianEditMenu(QLineEdit& edit) {
    Install(edit, edit);
}
