#include "textimport/gui/qt_progress.h"

#include "platform/gui/qt_text.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

int TQtProgressBar::Width() const {
    return m_bar.width();
}

void TQtProgressBar::SetRange(int minimum, int maximum) {
    // An empty range would make Qt's bar show its busy animation instead of an empty bar.
    m_bar.setRange(minimum, std::max(maximum, minimum + 1));
}

void TQtProgressBar::SetPosition(int position) {
    m_bar.setValue(position);
}

void TQtProgressBar::Repaint() {
    m_bar.repaint();
}

void TQtProgressBar::SetVisible(bool visible) {
    m_bar.setVisible(visible);
}

void TQtProgressLabel::SetText(const AnsiString& text) {
    m_label.setText(ToQString(text));
}

void TQtProgressLabel::SetVisible(bool visible) {
    m_label.setVisible(visible);
}
