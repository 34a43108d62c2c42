// A drop-down list whose entries carry a host identifier beside the caption they show.
#pragma once

#include "platform/codepage.h"

#include <QComboBox>

class TIdCaptionComboBox final : public QComboBox {
public:
    explicit TIdCaptionComboBox(QWidget* parent = nullptr);

    // Sorted lists keep their entries in the order of their captions (the user's collation).
    void SetSorted(bool sorted) { m_sorted = sorted; }
    [[nodiscard]] bool Sorted() const { return m_sorted; }

    // Appends (or, when sorted, inserts in caption order); returns the entry's index.
    int AddItem(const AnsiString& id, const AnsiString& caption);
    void ClearItems() { clear(); }

    [[nodiscard]] AnsiString IdAt(int index) const;
    [[nodiscard]] AnsiString CaptionAt(int index) const;
    // The identifier of the current entry; empty when none is selected.
    [[nodiscard]] AnsiString SelectedId() const { return IdAt(currentIndex()); }
    // Selects the first entry with that identifier; false (and no selection) when none has it.
    bool SelectId(const AnsiString& id, bool ignoreCase = false);
    // The index of the first entry with that identifier, or -1.
    [[nodiscard]] int IndexOfId(const AnsiString& id, bool ignoreCase = false) const;

private:
    bool m_sorted = false;
};
