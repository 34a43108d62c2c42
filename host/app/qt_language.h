// The desktop host speaks Russian: Qt's own texts (standard menus, file dialogs) as well as its
// own.
#pragma once

class QApplication;

namespace kavrohost {

// Loads Qt's Russian translation from Qt's translations folder into the application, as the
// desktop host does at start; without the translation Qt's texts stay English.
void UseRussianQtTexts(QApplication& app);

} // namespace kavrohost
