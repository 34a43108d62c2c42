#include "coords/gui/coordinate_system_list_model.h"

#include "platform/gui/qt_text.h"
#include "text/words_filter.h"

TCoordinateSystemListModel::TCoordinateSystemListModel(QObject* parent)
    : QAbstractListModel(parent) {}

void TCoordinateSystemListModel::Fill(const TCoordinateReferenceList& references,
                                      const TWordsFilter& filter, bool hideUndefined) {
    beginResetModel();
    m_entries.clear();
    if (!hideUndefined)
        m_entries.push_back(nullptr);
    for (const TCoordinateReferencePtr& reference : references) {
        if (!reference || (hideUndefined && reference->IsUndefined()))
            continue;
        if (filter.Matches(reference->GetCaption()))
            m_entries.push_back(reference);
    }
    endResetModel();
}

void TCoordinateSystemListModel::Clear() {
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

const TCoordinateReference* TCoordinateSystemListModel::ReferenceAt(int row) const {
    if (row < 0 || row >= Count())
        return nullptr;
    return m_entries[static_cast<size_t>(row)].get();
}

int TCoordinateSystemListModel::FindEntry(const TCoordinateReferenceDef& def) const {
    const bool undefined = def.IsUndefined();
    for (int row = 0; row < Count(); ++row) {
        const TCoordinateReference* reference = m_entries[static_cast<size_t>(row)].get();
        if (reference ? reference->IsSameAs(def) : undefined)
            return row;
    }
    return -1;
}

int TCoordinateSystemListModel::RowOf(const TCoordinateReference* reference) const {
    for (int row = 0; row < Count(); ++row)
        if (m_entries[static_cast<size_t>(row)].get() == reference)
            return row;
    return -1;
}

TCoordinateReferenceDef TCoordinateSystemListModel::DefAt(int row) const {
    if (const TCoordinateReference* reference = ReferenceAt(row))
        return reference->Def();
    return LocalCoordinateReference(LocalCoordinateSystemCaption());
}

int TCoordinateSystemListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

QVariant TCoordinateSystemListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= Count())
        return {};
    const TCoordinateReference* reference = ReferenceAt(index.row());
    return ToQString(reference ? reference->GetCaption() : LocalCoordinateSystemCaption());
}

QVariant TCoordinateSystemListModel::headerData(int section, Qt::Orientation orientation,
                                                int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return QtText("Название");
    return {};
}
