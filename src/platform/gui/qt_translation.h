// Qt's own texts (standard context menus, the file dialog's columns and buttons) in the
// interface's language.
#pragma once

class QCoreApplication;

// Installs Qt's Russian translation from Qt's translations folder into the application; the
// translator lives as long as the application. False when the translation is not installed:
// Qt's texts then stay English.
bool InstallQtTranslation(QCoreApplication& app);
