#include "platform/gui/window.h"

#include "platform/gui/qt_translation.h"

#include <QApplication>
#include <QWidget>

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

namespace {
// The application the module had to create, if any; reachable until it is released.
QApplication* g_ownApplication = nullptr;
} // namespace

void EnsureGuiApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "TextImport";
    static char* argv[] = {name, nullptr};
    g_ownApplication = new QApplication(argc, argv);
    // Qt's own texts in the module's dialogs (edit menus, the file dialog) as a Russian host
    // would have them; without the translation they stay English.
    InstallQtTranslation(*g_ownApplication);
}

void ReleaseGuiApplication() {
    // Not left to the exit handlers: Qt's own data that the application's post routines use
    // may be gone by then.
    delete g_ownApplication;
    g_ownApplication = nullptr;
}
