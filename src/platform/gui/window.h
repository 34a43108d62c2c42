// Native windows of the host as the module sees them (QWidget::winId() values on Linux,
// HWND on Windows).
#pragma once

#include "platform/codepage.h"
#include "platform/com/types.h"

class QWidget;

// The window's title, cut to maxLength characters; empty for 0 or an unknown window.
AnsiString GetWindowTitle(HWND window, std::size_t maxLength = 1024);
// The widget behind a native window of this process, or nullptr.
QWidget* WidgetOfWindow(HWND window);
// Makes sure a QApplication exists: the host's when it has one, else one of the module's own.
void EnsureGuiApplication();
// Frees the application EnsureGuiApplication created, if it did: the module's unload does, so
// that the application goes with the module and not with the process's exit handlers.
void ReleaseGuiApplication();
