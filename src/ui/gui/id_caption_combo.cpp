#include "ui/gui/id_caption_combo.h"

#include "platform/gui/qt_text.h"
#include "text/text_rules.h"

#include <QByteArray>

TIdCaptionComboBox::TIdCaptionComboBox(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

int TIdCaptionComboBox::AddItem(const AnsiString& id, const AnsiString& caption) {
    const QString text = ToQString(caption);
    const QByteArray data(id.data(), static_cast<qsizetype>(id.size()));
    int index = count();
    if (m_sorted) {
        // Insertion keeps the entries in order; a stable position after equal captions.
        index = 0;
        while (index < count() && QString::localeAwareCompare(itemText(index), text) <= 0)
            ++index;
    }
    insertItem(index, text, data);
    return index;
}

AnsiString TIdCaptionComboBox::IdAt(int index) const {
    if (index < 0 || index >= count())
        return {};
    const QByteArray data = itemData(index).toByteArray();
    return AnsiString(data.constData(), static_cast<std::size_t>(data.size()));
}

AnsiString TIdCaptionComboBox::CaptionAt(int index) const {
    if (index < 0 || index >= count())
        return {};
    return FromQString(itemText(index));
}

int TIdCaptionComboBox::IndexOfId(const AnsiString& id, bool ignoreCase) const {
    for (int i = 0; i < count(); ++i) {
        const AnsiString other = IdAt(i);
        if (ignoreCase ? AnsiSameText(other, id) : other == id)
            return i;
    }
    return -1;
}

bool TIdCaptionComboBox::SelectId(const AnsiString& id, bool ignoreCase) {
    const int index = IndexOfId(id, ignoreCase);
    setCurrentIndex(index);
    return index >= 0;
}
