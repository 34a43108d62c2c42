// What the module's wizards share when they build their windows: controls named for the tests
// and the recorded sessions, the pages above a row of buttons, and the first placement.
#pragma once

#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Gives the control the name tests and recorded sessions find it by.
template <class TWidget> TWidget* Named(TWidget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A named button that Enter in another control does not press.
QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent);
// A label whose mnemonic goes to the buddy (none when null).
QLabel* MakeLabel(const char* caption, QWidget* buddy, QWidget* parent);

// The wizard's layout: the pages filling it, a separating line, and the buttons at the right,
// the one that closes set apart.
void LayOutWizard(QWidget& wizard, QWidget* pages, QPushButton* prev, QPushButton* next,
                  QPushButton* close);

// Centres the window on its parent's screen (its own without a parent).
void CentreOnScreen(QWidget& window);
