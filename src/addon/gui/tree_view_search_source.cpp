#include "addon/gui/tree_view_search_source.h"

#include "platform/exception.h"
#include "platform/gui/qt_text.h"

#include <QTreeWidget>

#include <string>

TTreeViewSearchSource::TTreeViewSearchSource(QTreeWidget& tree, const TTreeImages* images,
                                             std::intptr_t userValue, TAccept accept)
    : m_tree(tree), m_images(images), m_userValue(userValue), m_accept(std::move(accept)) {}

AnsiString TTreeViewSearchSource::Text(TTreeSourceNode node) const {
    return node ? FromQString(Item(node)->text(0)) : AnsiString();
}

int TTreeViewSearchSource::ImageIndex(TTreeSourceNode node) const {
    if (!node)
        return -1;
    const QVariant index = Item(node)->data(0, kTreeImageIndexRole);
    return index.isValid() ? index.toInt() : -1;
}

TTreeSourceNode TTreeViewSearchSource::Child(TTreeSourceNode parent, int index) const {
    const int count = ChildCount(parent);
    if (index < 0 || index >= count)
        throw Exception("Index \"" + std::to_string(index) + "\" out of bounds \"" +
                        std::to_string(count) + "\"");
    return parent ? Item(parent)->child(index) : m_tree.topLevelItem(index);
}

int TTreeViewSearchSource::ChildCount(TTreeSourceNode parent) const {
    return parent ? Item(parent)->childCount() : m_tree.topLevelItemCount();
}

unsigned TTreeViewSearchSource::Flags(TTreeSourceNode node) const {
    if (m_accept && !m_accept(m_userValue, Item(node)))
        return 0;
    return kTreeSourceInclude | kTreeSourceSearched;
}
