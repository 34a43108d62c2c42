// TProgress: drives a progress bar in pixels, so that a long run repaints at most once per
// pixel of bar width. The bar and label are abstract; the wizard's Qt widgets implement them.
#pragma once

#include "platform/codepage.h"

class IProgressBar {
public:
    virtual ~IProgressBar() = default;
    virtual int Width() const = 0; // in pixels
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    // Paints the bar at once, without waiting for the event loop.
    virtual void Repaint() = 0;
    virtual void SetVisible(bool visible) = 0;
};

class IProgressLabel {
public:
    virtual ~IProgressLabel() = default;
    virtual void SetText(const AnsiString& text) = 0;
    virtual void SetVisible(bool visible) = 0;
};

class TProgress {
public:
    // Neither is owned; both may be absent.
    IProgressLabel* ProgressLabel() const { return m_label; }
    void SetProgressLabel(IProgressLabel* label);
    IProgressBar* ProgressBar() const { return m_bar; }
    void SetProgressBar(IProgressBar* bar);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    // Position 0 of `maximum`; the bar's current width becomes the scale. Lets pending window
    // messages run.
    void StartProgress(const AnsiString& caption, int maximum);
    // Moves the bar only when the pixel position changes; then repaints it and lets pending
    // window messages run.
    void SetProgressPosition(int position);
    void StepProgress() { SetProgressPosition(m_position + 1); }

    int Maximum() const { return m_maximum; }
    int Position() const { return m_position; }

    // The user asked to stop (a button that the pumped messages reach); StartProgress clears it.
    void Cancel() { m_cancelled = true; }
    [[nodiscard]] bool Cancelled() const { return m_cancelled; }

private:
    IProgressLabel* m_label = nullptr;
    IProgressBar* m_bar = nullptr;
    bool m_visible = true;
    int m_maximum = 0;
    int m_position = 0;
    int m_scale = 0;
    int m_shown = 0;
    bool m_cancelled = false;
};
