// The entries of the coordinate system editor's list: the local coordinate system (an entry
// without a reference) and the catalog's predefined references that pass the word filter.
#pragma once

#include "coords/coordinate_reference.h"

#include <QAbstractListModel>

#include <vector>

class TWordsFilter;

class TCoordinateSystemListModel final : public QAbstractListModel {
public:
    explicit TCoordinateSystemListModel(QObject* parent = nullptr);

    // Replaces every entry in one reset: the local entry first (unless `hideUndefined`), then
    // each reference the filter matches, in the given order; with `hideUndefined` undefined
    // references are left out. The local entry is never filtered.
    void Fill(const TCoordinateReferenceList& references, const TWordsFilter& filter,
              bool hideUndefined);
    void Clear();

    [[nodiscard]] int Count() const { return static_cast<int>(m_entries.size()); }
    // The reference an entry holds; null for the local entry.
    [[nodiscard]] const TCoordinateReference* ReferenceAt(int row) const;
    // The first entry that holds a reference IsSameAs the record, or the local entry when the
    // record is undefined; -1 when none does.
    [[nodiscard]] int FindEntry(const TCoordinateReferenceDef& def) const;
    // The first entry holding that very reference object; -1 when none does.
    [[nodiscard]] int RowOf(const TCoordinateReference* reference) const;
    // The record of an entry: the local reference for the local entry.
    [[nodiscard]] TCoordinateReferenceDef DefAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // Null for the local entry; the catalog keeps the others alive.
    std::vector<TCoordinateReferencePtr> m_entries;
};
