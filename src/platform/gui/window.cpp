#include "platform/gui/window.h"

#include "platform/gui/qt_translation.h"

#include <QApplication>
#include <QWidget>

#include <memory>

AnsiString GetWindowTitle(HWND window, std::size_t maxLength) {
    QWidget* widget = WidgetOfWindow(window);
    if (!widget)
        return {};
    AnsiString title = WideToAnsi(widget->windowTitle().toStdU16String());
    if (title.size() > maxLength)
        title.resize(maxLength);
    return title;
}

QWidget* WidgetOfWindow(HWND window) {
    if (window == 0 || !QApplication::instance())
        return nullptr;
    return QWidget::find(static_cast<WId>(window));
}

void EnsureGuiApplication() {
    if (QApplication::instance())
        return;
    // A host without Qt gets the module's own application, which lives as long as the module:
    // it goes when the module is unloaded, not left behind in a process that keeps Qt.
    static int argc = 1;
    static char name[] = "TextImport";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> app = [] {
        auto created = std::make_unique<QApplication>(argc, argv);
        // Qt's own texts in the module's dialogs (edit menus, the file dialog) as a Russian
        // host would have them; without the translation they stay English.
        InstallQtTranslation(*created);
        return created;
    }();
}
