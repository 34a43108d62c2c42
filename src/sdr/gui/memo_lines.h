// The preview box as the string list the SDR runs write their log and point lines into.
#pragma once

#include "import/preview_lines.h"
#include "platform/gui/qt_text.h"

#include <QPlainTextEdit>
#include <QStringList>

// Lines added while updates are suspended are appended in one piece when the outermost update
// ends, so listing a file of many points does not lay the box out once per point.
class TMemoLines final : public TTextLines {
public:
    explicit TMemoLines(QPlainTextEdit& memo) : m_memo(memo) {}

    void Add(const AnsiString& line) override {
        if (m_updateDepth > 0)
            m_pending << ToQString(line);
        else
            m_memo.appendPlainText(ToQString(line));
    }
    void Clear() override {
        m_pending.clear();
        m_memo.clear();
    }
    void BeginUpdate() override { ++m_updateDepth; }
    void EndUpdate() override {
        if (m_updateDepth > 0 && --m_updateDepth == 0 && !m_pending.isEmpty()) {
            m_memo.appendPlainText(m_pending.join(QLatin1Char('\n')));
            m_pending.clear();
        }
    }

private:
    QPlainTextEdit& m_memo;
    QStringList m_pending;
    int m_updateDepth = 0;
};
