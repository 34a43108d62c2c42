#include "platform/gui/window.h"

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

void EnsureGuiApplication() {
    if (QApplication::instance())
        return;
    // Lives as long as the module; a host without Qt gets the module's own application.
    static int argc = 1;
    static char name[] = "TextImport";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}
