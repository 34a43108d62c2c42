#include "progress.h"

#include "ui/user_interaction.h"

#include <algorithm>
#include <cstdint>

void TProgress::SetProgressLabel(IProgressLabel* label) {
    m_label = label;
    if (m_label)
        m_label->SetVisible(m_visible);
}

void TProgress::SetProgressBar(IProgressBar* bar) {
    m_bar = bar;
    if (m_bar) {
        m_bar->SetRange(0, m_scale);
        m_bar->SetPosition(m_shown);
        m_bar->SetVisible(m_visible);
    }
}

void TProgress::SetVisible(bool visible) {
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (m_label)
        m_label->SetVisible(visible);
    if (m_bar)
        m_bar->SetVisible(visible);
}

void TProgress::StartProgress(const AnsiString& caption, int maximum) {
    m_maximum = maximum;
    m_position = 0;
    m_scale = m_bar ? std::max(0, m_bar->Width()) : 0;
    m_shown = 0;
    m_cancelled = false;
    if (m_label)
        m_label->SetText(caption);
    if (m_bar) {
        m_bar->SetRange(0, m_scale);
        m_bar->SetPosition(0);
    }
    UserInteraction().ProcessMessages();
}

void TProgress::SetProgressPosition(int position) {
    m_position = position;
    if (!m_bar || m_maximum <= 0)
        return;
    // Rounded to the nearest pixel, in 64 bits so that long tables cannot overflow.
    const std::int64_t scaled = static_cast<std::int64_t>(position) * m_scale;
    std::int64_t pixel = (2 * scaled + m_maximum) / (2 * std::int64_t{m_maximum});
    if (scaled < 0)
        pixel = -((-2 * scaled + m_maximum) / (2 * std::int64_t{m_maximum}));
    pixel = std::clamp<std::int64_t>(pixel, 0, m_scale);
    if (pixel == m_shown)
        return;
    m_shown = static_cast<int>(pixel);
    m_bar->SetPosition(m_shown);
    m_bar->Repaint();
    UserInteraction().ProcessMessages();
}
