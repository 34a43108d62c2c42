// The Qt binding to the host's application window.
#include "addon/gui/qt_application_binding.h"

#include "platform/gui/window.h"
#include "ui/gui/qt_interaction.h"
#include "ui/user_interaction.h"

AnsiString TQtApplicationBinding::WindowTitle(HWND window) {
    return GetWindowTitle(window);
}

void TQtApplicationBinding::Bind(HWND window, const AnsiString& title) {
    QtInteraction().SetApplicationTitle(title);
    QtInteraction().SetOwnerWindow(WidgetOfWindow(window));
    SetDefaultUserInteraction(&QtInteraction());
}

void TQtApplicationBinding::Unbind() {
    QtInteraction().SetOwnerWindow(nullptr);
    SetDefaultUserInteraction(nullptr);
}

void InstallQtApplicationBinding() {
    static TQtApplicationBinding binding;
    SetApplicationBinding(&binding);
}
