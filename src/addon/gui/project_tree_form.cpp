#include "addon/gui/project_tree_form.h"

#include "addon/gui/search_in_tree_form.h"
#include "addon/module_state.h"
#include "platform/gui/qt_text.h"
#include "platform/gui/window.h"
#include "ui/gui/screen_scale.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

QString TreeLabelCaption(TProjectNodeKind kind) {
    switch (kind) {
    case TProjectNodeKind::Map:
        return QtText("&Список карт:");
    case TProjectNodeKind::Layer:
        return QtText("&Список слоев:");
    case TProjectNodeKind::Style:
        break;
    }
    return QtText("&Список стилей:");
}

void SetHolder(QTreeWidgetItem& item, const TIDHolder& holder) {
    const std::string_view id = holder.id.View();
    item.setData(0, kIdRole, QByteArray(id.data(), static_cast<qsizetype>(id.size())));
    item.setData(0, kKindRole, static_cast<int>(holder.kind));
}

TIDHolder HolderOf(const QTreeWidgetItem& item) {
    const QByteArray id = item.data(0, kIdRole).toByteArray();
    return {TQmID::From(std::string_view(id.constData(), static_cast<std::size_t>(id.size()))),
            static_cast<TProjectNodeKind>(item.data(0, kKindRole).toInt())};
}

void AddNodes(const std::vector<TProjectTreeNode>& nodes, QTreeWidget& tree,
              QTreeWidgetItem* parent) {
    for (const TProjectTreeNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
        item->setText(0, ToQString(node.name));
        SetHolder(*item, node.holder);
        AddNodes(node.children, tree, item);
    }
}

// Each node before its children, siblings in order; the first whose identifier is id and,
// when kind is given, whose kind is that.
QTreeWidgetItem* FindById(QTreeWidgetItem* item, std::string_view id,
                          std::optional<TProjectNodeKind> kind) {
    if (item->data(0, kIdRole).toByteArray() == QByteArrayView(id.data(), id.size()) &&
        (!kind || HolderOf(*item).kind == *kind))
        return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem* found = FindById(item->child(i), id, kind))
            return found;
    return nullptr;
}

QTreeWidgetItem* FindById(QTreeWidget& tree, std::string_view id,
                          std::optional<TProjectNodeKind> kind) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (QTreeWidgetItem* found = FindById(tree.topLevelItem(i), id, kind))
            return found;
    return nullptr;
}

void MakeVisible(QTreeWidget& tree, QTreeWidgetItem* item) {
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree.scrollToItem(item);
}

} // namespace

TProjectTreeForm::TProjectTreeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ProjectTreeForm"));
    setSizeGripEnabled(true);

    m_treeLabel = new QLabel(TreeLabelCaption(m_kind), this);
    m_treeLabel->setObjectName(QStringLiteral("TreeLabel"));
    m_projectTree = new QTreeWidget(this);
    m_projectTree->setObjectName(QStringLiteral("ProjectTree"));
    m_projectTree->setColumnCount(1);
    m_projectTree->setHeaderHidden(true);
    m_projectTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_projectTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_projectTree->setUniformRowHeights(true);
    m_projectTree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_treeLabel->setBuddy(m_projectTree);

    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu"));
    auto* findItem = new QAction(QtText("Найти ..."), this);
    findItem->setObjectName(QStringLiteral("FindItem"));
    findItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    findItem->setShortcutContext(Qt::WindowShortcut);
    m_popupMenu->addAction(findItem);
    addAction(findItem); // the shortcut works while the dialog is active

    m_ok = new QPushButton(QtText("ОК"), this);
    m_ok->setObjectName(QStringLiteral("OkButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QtText("Отмена"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_treeLabel);
    layout->addWidget(m_projectTree, 1);
    layout->addLayout(buttons);
    resize(ScreenScaled(QSize(340, 400), this));

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(findItem, &QAction::triggered, this, [this] { FindItem(); });
    connect(m_projectTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_popupMenu->popup(m_projectTree->viewport()->mapToGlobal(at));
    });
    connect(m_projectTree, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateOkButton(); });
    connect(m_projectTree, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_ok->isEnabled())
            accept();
    });
}

void TProjectTreeForm::Fill(const TQmCustomAddon& addon, TProjectNodeKind kind) {
    m_kind = kind;
    m_treeLabel->setText(TreeLabelCaption(kind));
    const std::vector<TProjectTreeNode> nodes = ReadProjectTree(addon, kind);
    m_projectTree->setUpdatesEnabled(false);
    m_projectTree->clear();
    AddNodes(nodes, *m_projectTree, nullptr);
    m_projectTree->setUpdatesEnabled(true);
}

void TProjectTreeForm::Preselect(std::string_view id) {
    if (id.empty())
        return;
    // Maps, layers and styles may share an identifier; the node of the kind asked for is the
    // one the caller means.
    QTreeWidgetItem* found = FindById(*m_projectTree, id, m_kind);
    if (!found)
        found = FindById(*m_projectTree, id, std::nullopt);
    if (found) {
        m_projectTree->setCurrentItem(found);
        MakeVisible(*m_projectTree, found);
    }
}

std::optional<TIDHolder> TProjectTreeForm::SelectedNode() const {
    const QList<QTreeWidgetItem*> selected = m_projectTree->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return HolderOf(*selected.front());
}

void TProjectTreeForm::UpdateOkButton() {
    const std::optional<TIDHolder> node = SelectedNode();
    m_ok->setEnabled(node && node->kind == m_kind);
}

void TProjectTreeForm::FindItem() {
    if (QTreeWidgetItem* found = SearchInTreeView(*m_projectTree, nullptr, {}))
        MakeVisible(*m_projectTree, found);
}

bool SelectInProjectTree(const TQmCustomAddon& addon, const AnsiString& caption,
                         TProjectNodeKind kind, AnsiString& id, QWidget* owner) {
    if (!owner)
        owner = QApplication::activeModalWidget();
    if (!owner)
        owner = WidgetOfWindow(FormOwnerWindow());
    TProjectTreeForm form(owner);
    form.setWindowTitle(ToQString(caption));
    form.Fill(addon, kind);
    form.Preselect(id);
    if (form.exec() != QDialog::Accepted)
        return false;
    const AnsiString old = id;
    const std::optional<TIDHolder> node = form.SelectedNode();
    id = node && node->kind == kind ? node->id.Str() : AnsiString();
    return id != old;
}
