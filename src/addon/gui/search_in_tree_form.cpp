#include "addon/gui/search_in_tree_form.h"

#include "platform/gui/qt_text.h"
#include "text/words_filter.h"
#include "ui/gui/screen_scale.h"
#include "ui/user_interaction.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kNodeRole = Qt::UserRole;

const TNode* NodeOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<const TNode*>(item->data(0, kNodeRole).value<quintptr>())
                : nullptr;
}

// Keys that move through the results while the caret stays in the filter.
bool IsResultNavigationKey(int key) {
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
           key == Qt::Key_Down;
}

} // namespace

TSearchInTreeForm::TSearchInTreeForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SearchInTreeForm"));
    setWindowTitle(QtText("Поиск"));
    setSizeGripEnabled(true);

    m_filterLabel = new QLabel(QtText("Фильтр:"), this);
    m_filterLabel->setObjectName(QStringLiteral("FilterLabel"));
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("Filter"));
    m_filterLabel->setBuddy(m_filter);
    m_filter->installEventFilter(this);

    m_searchTree = new QTreeWidget(this);
    m_searchTree->setObjectName(QStringLiteral("SearchTree"));
    m_searchTree->setColumnCount(1);
    m_searchTree->setHeaderHidden(true);
    m_searchTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_searchTree->setRootIsDecorated(true);
    m_searchTree->setUniformRowHeights(true);
    m_searchTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_searchTree->setExpandsOnDoubleClick(false);

    m_ok = new QPushButton(QtText("ОК"), this);
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QtText("Отмена"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setInterval(kFilterDelayMs);
    m_timer->setSingleShot(true);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(m_filterLabel);
    filterRow->addWidget(m_filter, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_searchTree, 1);
    layout->addLayout(buttons);

    setMinimumSize(ScreenScaled(QSize(276, 89), this));
    resize(ScreenScaled(QSize(360, 380), this));

    // Every change starts the wait anew, so a word typed quickly is applied once.
    connect(m_filter, &QLineEdit::textChanged, m_timer, qOverload<>(&QTimer::start));
    connect(m_timer, &QTimer::timeout, this, [this] { ApplyFilter(FocusedSourceNode()); });
    connect(m_ok, &QPushButton::clicked, this, [this] { Confirm(); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_searchTree, &QTreeWidget::itemDoubleClicked, this, [this] { Confirm(); });
}

TSearchInTreeForm::~TSearchInTreeForm() = default;

void TSearchInTreeForm::Open(const ITreeSource& source, TTreeSourceNode preselected,
                             const AnsiString& filterText) {
    m_searchTree->clear();
    m_root.Clear();
    m_source = &source;
    CopySourceTree(source, m_root);

    {
        const QSignalBlocker quiet(m_filter);
        m_filter->setText(ToQString(filterText));
    }
    // Once the dialog runs: the caret at the end, nothing selected.
    QTimer::singleShot(0, m_filter, [filter = m_filter] {
        filter->deselect();
        filter->setCursorPosition(static_cast<int>(filter->text().size()));
    });
    m_filter->setFocus();
    ApplyFilter(preselected);
}

TTreeSourceNode TSearchInTreeForm::FocusedSourceNode() const {
    const TNode* node = NodeOf(m_searchTree->currentItem());
    return node ? node->Source() : nullptr;
}

void TSearchInTreeForm::ApplyFilter(TTreeSourceNode preselected) {
    m_timer->stop();
    TWordsFilter filter;
    filter.SetText(FromQString(m_filter->text()));

    m_searchTree->setUpdatesEnabled(false);
    m_searchTree->clear();
    if (!filter.Text().empty()) {
        m_root.Mark(filter);
        const TTreeImages* images = m_source ? m_source->Images() : nullptr;
        QTreeWidgetItem* preselectedItem = nullptr;
        // The first match in the order the rebuild finishes nodes (a node after all of its
        // descendants), so a matching layer wins over its matching map.
        QTreeWidgetItem* firstMatch = nullptr;
        QFont bold = m_searchTree->font();
        bold.setBold(true);

        auto addVisible = [&](auto& self, const TNode& parent,
                              QTreeWidgetItem* parentItem) -> void {
            for (const auto& child : parent.Children()) {
                if (!child->Visible())
                    continue;
                auto* item = parentItem ? new QTreeWidgetItem(parentItem)
                                        : new QTreeWidgetItem(m_searchTree);
                item->setText(0, ToQString(child->Text()));
                item->setData(0, kNodeRole,
                              QVariant::fromValue(reinterpret_cast<quintptr>(child.get())));
                if (child->Match())
                    item->setFont(0, bold);
                if (images && child->ImageIndex() >= 0 &&
                    child->ImageIndex() < images->icons.size())
                    item->setIcon(0, images->icons[child->ImageIndex()]);
                self(self, *child, item);
                item->setExpanded(true);
                if (preselected && child->Source() == preselected)
                    preselectedItem = item;
                if (!firstMatch && child->Match())
                    firstMatch = item;
            }
        };
        addVisible(addVisible, m_root, nullptr);

        QTreeWidgetItem* focus = preselectedItem ? preselectedItem
                                 : firstMatch    ? firstMatch
                                                 : m_searchTree->topLevelItem(0);
        if (focus) {
            m_searchTree->setCurrentItem(focus);
            m_searchTree->scrollToItem(focus);
        }
    }
    m_searchTree->setUpdatesEnabled(true);
}

void TSearchInTreeForm::Confirm() {
    if (m_searchTree->currentItem())
        accept();
    else
        UserInteraction().ShowMessage(Ansi("ВНИМАНИЕ! Необходимо выбрать элемент."));
}

bool TSearchInTreeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsResultNavigationKey(key->key())) {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(),
                           key->isAutoRepeat(), static_cast<ushort>(key->count()));
            QApplication::sendEvent(m_searchTree, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QTreeWidgetItem* SearchInTreeView(QTreeWidget& tree, const TTreeImages* images,
                                  const AnsiString& initialText, std::intptr_t userValue,
                                  TTreeViewSearchSource::TAccept accept) {
    const TTreeViewSearchSource source(tree, images, userValue, std::move(accept));
    TSearchInTreeForm form(tree.window());
    form.Open(source, nullptr, initialText);
    if (form.exec() != QDialog::Accepted)
        return nullptr;
    QTreeWidgetItem* found = TTreeViewSearchSource::Item(form.FocusedSourceNode());
    if (!found)
        return nullptr;
    for (QTreeWidgetItem* parent = found->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree.setCurrentItem(found);
    tree.scrollToItem(found);
    return found;
}
