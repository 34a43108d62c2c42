// The search's view of a Qt tree widget, with the icons its image indexes refer to.
#pragma once

#include "addon/tree_search.h"

#include <QIcon>
#include <QList>

#include <cstdint>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

class TTreeImages {
public:
    QList<QIcon> icons;
};

// The item data role that holds a tree item's image index (items without it have none).
constexpr int kTreeImageIndexRole = Qt::UserRole + 64;

class TTreeViewSearchSource final : public ITreeSource {
public:
    // Decides whether the search sees a node (and its subtree).
    using TAccept = std::function<bool(std::intptr_t userValue, QTreeWidgetItem* node)>;

    // Every node is searched unless `accept` is given and turns it down.
    TTreeViewSearchSource(QTreeWidget& tree, const TTreeImages* images, std::intptr_t userValue = 0,
                          TAccept accept = nullptr);

    const TTreeImages* Images() const override { return m_images; }
    AnsiString Text(TTreeSourceNode node) const override;
    int ImageIndex(TTreeSourceNode node) const override;
    // An index outside the children raises "Index "%d" out of bounds "%d"".
    TTreeSourceNode Child(TTreeSourceNode parent, int index) const override;
    int ChildCount(TTreeSourceNode parent) const override;
    unsigned Flags(TTreeSourceNode node) const override;

    [[nodiscard]] static QTreeWidgetItem* Item(TTreeSourceNode node) {
        return static_cast<QTreeWidgetItem*>(node);
    }

private:
    QTreeWidget& m_tree;
    const TTreeImages* m_images;
    std::intptr_t m_userValue;
    TAccept m_accept;
};
