// The progress component's bar and label as Qt widgets.
#pragma once

#include "textimport/progress.h"

class QLabel;
class QProgressBar;

class TQtProgressBar final : public IProgressBar {
public:
    explicit TQtProgressBar(QProgressBar& bar) : m_bar(bar) {}
    int Width() const override;
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;
    void Repaint() override;
    void SetVisible(bool visible) override;

private:
    QProgressBar& m_bar;
};

class TQtProgressLabel final : public IProgressLabel {
public:
    explicit TQtProgressLabel(QLabel& label) : m_label(label) {}
    void SetText(const AnsiString& text) override;
    void SetVisible(bool visible) override;

private:
    QLabel& m_label;
};
