#include "ui/gui/wizard_layout.h"

#include "platform/gui/qt_text.h"
#include "ui/gui/screen_scale.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QtText(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(const char* caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QtText(caption), parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

void LayOutWizard(QWidget& wizard, QWidget* pages, QPushButton* prev, QPushButton* next,
                  QPushButton* close) {
    auto* line = new QFrame(&wizard);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(prev);
    buttons->addWidget(next);
    buttons->addSpacing(ScreenScaled(8, &wizard));
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&wizard);
    layout->addWidget(pages, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen =
        window.parentWidget() ? window.parentWidget()->screen() : window.screen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}
