// The preview box as the string list the SDR runs write their log and point lines into.
#pragma once

#include "import/preview_lines.h"
#include "platform/gui/qt_text.h"

#include <QPlainTextEdit>
#include <QStringList>

// Lines added while updates are suspended (a file's point lines) are appended in one piece when
// the outermost update ends, so listing a file of many points does not lay the box out once per
// point. Of them the box shows the first kShownLines and then one line with the count of the
// rest: a million points would hold the box's document and the pending list at hundreds of bytes
// each, many times the file's size, for lines nobody scrolls through. Lines added outside an
// update (the log's) are always shown.
class TMemoLines final : public TTextLines {
public:
    static constexpr qsizetype kShownLines = 1000;

    explicit TMemoLines(QPlainTextEdit& memo) : m_memo(memo) {}

    void Add(const AnsiString& line) override {
        if (m_updateDepth == 0)
            m_memo.appendPlainText(ToQString(line));
        else if (m_pending.size() < kShownLines)
            m_pending << ToQString(line);
        else
            ++m_hidden;
    }
    void Clear() override {
        m_pending.clear();
        m_hidden = 0;
        m_memo.clear();
    }
    void BeginUpdate() override { ++m_updateDepth; }
    void EndUpdate() override {
        if (m_updateDepth > 0 && --m_updateDepth == 0) {
            if (m_hidden > 0)
                m_pending << QtText("… не показано строк: ") + QString::number(m_hidden);
            if (!m_pending.isEmpty())
                m_memo.appendPlainText(m_pending.join(QLatin1Char('\n')));
            m_pending.clear();
            m_hidden = 0;
        }
    }

private:
    QPlainTextEdit& m_memo;
    QStringList m_pending;
    long long m_hidden = 0;
    int m_updateDepth = 0;
};
