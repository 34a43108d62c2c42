#include "coords/gui/transform_control.h"

#include "coords/gui/transform_item_dialogs.h"
#include "coords/transform_clipboard.h"
#include "platform/gui/qt_text.h"
#include "ui/gui/screen_scale.h"
#include "ui/user_interaction.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Carries the item to select from a command to the control through the event queue.
class TSelectItemEvent final : public QEvent {
public:
    explicit TSelectItemEvent(const TTransformItem* item) : QEvent(EventType()), m_item(item) {}
    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    // Only compared with the rows' items, never dereferenced: it may be gone by now.
    const TTransformItem* Item() const { return m_item; }

private:
    const TTransformItem* m_item;
};

const TTransformItem* RowItem(const QTreeWidgetItem* row) {
    return row ? reinterpret_cast<const TTransformItem*>(
                     row->data(0, Qt::UserRole).value<quintptr>())
               : nullptr;
}

std::unique_ptr<TTransformItem> DefaultItem(TTransformControl::TKind kind) {
    switch (kind) {
    case TTransformControl::TKind::Translation:
        return std::make_unique<TTransformTranslationItem>();
    case TTransformControl::TKind::Scaling:
        return std::make_unique<TTransformScalingItem>();
    case TTransformControl::TKind::Rotation:
        return std::make_unique<TTransformRotationItem>();
    case TTransformControl::TKind::Shear:
        break;
    }
    return std::make_unique<TTransformShearItem>();
}

struct TKindEntry {
    TTransformControl::TKind kind;
    const char* buttonName;
    const char* actionName;
    const char* caption;
};

constexpr TKindEntry kKinds[] = {
    {TTransformControl::TKind::Translation, "TranslationButton", "AddTranslationAction",
     "Смещение"},
    {TTransformControl::TKind::Scaling, "ScalingButton", "AddScalingAction", "Увел./Сжат."},
    {TTransformControl::TKind::Rotation, "RotationButton", "AddRotationAction", "Поворот"},
    {TTransformControl::TKind::Shear, "ShearButton", "AddShearAction", "Сдвиг"},
};

} // namespace

TTransformControl::TTransformControl(QWidget* parent)
    : QWidget(parent), m_ownChain(std::make_unique<TTransformData>()), m_chain(m_ownChain.get()) {
    Build();
}

TTransformControl::TTransformControl(TTransformData& chain, QWidget* parent)
    : QWidget(parent), m_chain(&chain) {
    Build();
}

TTransformControl::~TTransformControl() {
    m_destroying = true;
    m_chain->SetOnChange(nullptr);
}

void TTransformControl::Build() {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("TransformListView"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({QtText("Трансформация")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One column as wide as the list's client area; the header only labels it.
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setSectionsMovable(false);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The selection stays as visible as when the list has the focus.
    QPalette palette = m_list->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    m_list->setPalette(palette);
    layout->addWidget(m_list, 1);

    // The button panel: 80 pixels wide, nine 72x23 buttons in three groups.
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("ButtonPanel"));
    auto* buttons = new QVBoxLayout(m_panel);
    const int side = ScreenScaled(4, this);
    buttons->setContentsMargins(side, 0, side, 0);
    buttons->setSpacing(ScreenScaled(2, this));
    const int groupGap = ScreenScaled(8, this);
    for (const TKindEntry& entry : kKinds) {
        connect(AddButton(entry.buttonName, entry.caption), &QPushButton::clicked, this,
                [this, kind = entry.kind] { Add(kind); });
    }
    buttons->addSpacing(groupGap);
    connect(AddButton("EditButton", "Изменить"), &QPushButton::clicked, this,
            [this] { EditSelected(); });
    connect(AddButton("DeleteButton", "Удалить"), &QPushButton::clicked, this,
            [this] { DeleteSelected(false); });
    connect(AddButton("ClearButton", "Очистить"), &QPushButton::clicked, this,
            [this] { ClearAll(); });
    buttons->addSpacing(groupGap);
    connect(AddButton("MoveUpButton", "Поднять"), &QPushButton::clicked, this,
            [this] { MoveSelectedUp(); });
    connect(AddButton("MoveDownButton", "Опустить"), &QPushButton::clicked, this,
            [this] { MoveSelectedDown(); });
    // A font wider than the one the sizes were made for widens the buttons and the panel
    // rather than cutting a caption.
    int buttonWidth = ScreenScaled(72, this);
    const QList<QPushButton*> all = m_panel->findChildren<QPushButton*>();
    for (const QPushButton* button : all) {
        const int margins =
            2 * (button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                 button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        buttonWidth = std::max(buttonWidth,
                               button->fontMetrics().horizontalAdvance(button->text()) + margins);
    }
    for (QPushButton* button : all)
        button->setFixedWidth(buttonWidth);
    m_panel->setFixedWidth(std::max(ScreenScaled(80, this), buttonWidth + 2 * side));
    buttons->addStretch(1);
    layout->addWidget(m_panel);

    CreateActions();
    setFocusProxy(m_list);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { EditSelected(); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(m_list->viewport()->mapToGlobal(pos)); });

    m_chain->SetOnChange([this](TTransformData&) {
        m_changed = true;
        if (!m_destroying)
            RebuildList();
    });
    RebuildList();
}

QPushButton* TTransformControl::AddButton(const char* objectName, const char* caption) {
    auto* button = new QPushButton(QtText(caption), m_panel);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setFixedSize(ScreenScaled(QSize(72, 23), this));
    // The wizard's Enter belongs to its own buttons, and a click leaves the focus in the list,
    // where the menu's shortcuts act.
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    m_panel->layout()->addWidget(button);
    return button;
}

void TTransformControl::CreateActions() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("TransformMenu"));
    // Shortcuts act while the list has the focus, as the menu belongs to the list.
    const auto addAction = [this](QMenu* menu, const char* objectName, const char* caption,
                                  QList<QKeySequence> shortcuts, auto handler) {
        QAction* action = menu->addAction(QtText(caption));
        action->setObjectName(QString::fromLatin1(objectName));
        if (!shortcuts.isEmpty()) {
            action->setShortcuts(shortcuts);
            action->setShortcutContext(Qt::WidgetShortcut);
            m_list->addAction(action);
        }
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* add = m_menu->addMenu(QtText("Добавить"));
    add->setObjectName(QStringLiteral("AddMenu"));
    for (const TKindEntry& entry : kKinds)
        addAction(add, entry.actionName, entry.caption, {},
                  [this, kind = entry.kind] { Add(kind); });
    // Insert opens the sub-menu at the current row, where the user picks the kind.
    QAction* insertAction = add->menuAction();
    insertAction->setShortcut(QKeySequence(Qt::Key_Insert));
    insertAction->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(insertAction);
    connect(insertAction, &QAction::triggered, this, [this, add] {
        QRect row = m_list->visualItemRect(m_list->currentItem());
        if (!row.isValid())
            row = QRect(0, 0, 0, 0);
        add->popup(m_list->viewport()->mapToGlobal(row.bottomLeft()));
    });
    m_menu->addSeparator();
    addAction(m_menu, "EditAction", "Изменить",
              {QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)},
              [this] { EditSelected(); });
    addAction(m_menu, "DeleteAction", "Удалить", {QKeySequence(QKeySequence::Delete)},
              [this] { DeleteSelected(true); });
    addAction(m_menu, "ClearAction", "Очистить", {}, [this] { ClearAll(); });
    m_menu->addSeparator();
    addAction(m_menu, "MoveUpAction", "Поднять", {QKeySequence(Qt::CTRL | Qt::Key_Up)},
              [this] { MoveSelectedUp(); });
    addAction(m_menu, "MoveDownAction", "Опустить", {QKeySequence(Qt::CTRL | Qt::Key_Down)},
              [this] { MoveSelectedDown(); });
    m_menu->addSeparator();
    addAction(m_menu, "CopyAction", "Копировать в буфер", {QKeySequence(Qt::CTRL | Qt::Key_C)},
              [this] { CopyToClipboard(); });
    addAction(m_menu, "PasteAction", "Вставить из буфера", {QKeySequence(Qt::CTRL | Qt::Key_P)},
              [this] { PasteFromClipboard(); });
}

QSize TTransformControl::sizeHint() const {
    return ScreenScaled(QSize(300, 265), this);
}

// --- the update bracket --------------------------------------------------------------------

void TTransformControl::BeginUpdate() {
    if (m_updateLevel++ == 0) {
        m_list->setUpdatesEnabled(false);
        m_chain->BeginUpdate();
        m_changed = false;
    }
}

void TTransformControl::EndUpdate() {
    if (--m_updateLevel == 0) {
        m_chain->EndUpdate();
        m_list->setUpdatesEnabled(true);
    }
}

template <class TCommand> void TTransformControl::RunCommand(TCommand command) {
    // A command that waits for the user may outlive the control (the add-on frees the forms
    // still open when the host finalizes it); then nothing of it may be touched afterwards.
    const QPointer<TTransformControl> alive(this);
    BeginUpdate();
    try {
        command();
    } catch (const std::exception& e) {
        if (alive)
            EndUpdate();
        UserInteraction().ShowError(ExceptionMessage(e));
        return;
    }
    if (alive)
        EndUpdate();
}

// --- the list ------------------------------------------------------------------------------

void TTransformControl::RebuildList() {
    const TTransformItem* selected = RowItem(m_list->currentItem());
    if (m_list->currentItem() && !m_list->currentItem()->isSelected())
        selected = nullptr;
    m_list->clear();
    QTreeWidgetItem* reselect = nullptr;
    for (int i = 0; i < m_chain->Count(); ++i) {
        const TTransformItem& item = m_chain->Get(i);
        auto* row = new QTreeWidgetItem(m_list, {ToQString(item.GetDescription())});
        row->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
        if (&item == selected)
            reselect = row;
    }
    if (reselect)
        m_list->setCurrentItem(reselect);
}

TTransformItem* TTransformControl::SelectedItem() const {
    const int index = SelectedIndex();
    return index < 0 ? nullptr : &m_chain->Get(index);
}

int TTransformControl::SelectedIndex() const {
    QTreeWidgetItem* row = m_list->currentItem();
    if (!row || !row->isSelected())
        return -1;
    const int index = m_list->indexOfTopLevelItem(row);
    return index < m_chain->Count() ? index : -1;
}

void TTransformControl::SelectItemLater(const TTransformItem* item) {
    QCoreApplication::postEvent(this, new TSelectItemEvent(item));
}

void TTransformControl::SelectItem(const TTransformItem* item) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        if (RowItem(row) == item) {
            m_list->setCurrentItem(row);
            m_list->scrollToItem(row);
            m_list->setFocus();
            return;
        }
    }
}

bool TTransformControl::event(QEvent* event) {
    if (event->type() == TSelectItemEvent::EventType()) {
        SelectItem(static_cast<TSelectItemEvent*>(event)->Item());
        return true;
    }
    return QWidget::event(event);
}

// --- commands ------------------------------------------------------------------------------

void TTransformControl::Add(TKind kind) {
    RunCommand([&] {
        // The standalone item only carries the dialog's values; the chain gets a copy.
        const std::unique_ptr<TTransformItem> item = DefaultItem(kind);
        if (!EditTransformItem(*item, this))
            return;
        std::unique_ptr<TTransformItem> copy = item->Clone();
        const TTransformItem* added = copy.get();
        m_chain->Add(std::move(copy));
        SelectItemLater(added);
    });
}

void TTransformControl::EditSelected() {
    RunCommand([&] {
        if (TTransformItem* item = SelectedItem(); item && EditTransformItem(*item, this))
            SelectItemLater(item);
    });
}

void TTransformControl::DeleteSelected(bool confirm) {
    RunCommand([&] {
        const int index = SelectedIndex();
        if (index < 0)
            return;
        const QPointer<TTransformControl> alive(this);
        if (confirm && (!UserInteraction().Confirm(Ansi("Удалить элемент?"), Ansi("Предупреждение"),
                                                   TConfirmKind::Warning) ||
                        !alive))
            return;
        m_chain->Delete(index);
        if (m_chain->Count() > 0)
            SelectItemLater(&m_chain->Get(std::min(index, m_chain->Count() - 1)));
    });
}

void TTransformControl::ClearAll() {
    RunCommand([&] { m_chain->Clear(); });
}

void TTransformControl::MoveSelectedUp() {
    RunCommand([&] {
        const int index = SelectedIndex();
        if (index <= 0)
            return;
        m_chain->Exchange(index, index - 1);
        SelectItemLater(&m_chain->Get(index - 1));
    });
}

void TTransformControl::MoveSelectedDown() {
    RunCommand([&] {
        const int index = SelectedIndex();
        if (index < 0 || index + 1 >= m_chain->Count())
            return;
        m_chain->Exchange(index, index + 1);
        SelectItemLater(&m_chain->Get(index + 1));
    });
}

void TTransformControl::CopyToClipboard() {
    RunCommand([&] { ::CopyToClipboard(*m_chain); });
}

void TTransformControl::PasteFromClipboard() {
    RunCommand([&] {
        ::PasteFromClipboard(*m_chain);
        if (m_chain->Count() > 0)
            SelectItemLater(&m_chain->Get(0));
    });
}
