#include "coords/gui/msk_editor.h"

#include "coords/gui/coordinate_system_editor.h"
#include "platform/gui/qt_text.h"
#include "text/number_text.h"
#include "text/text_rules.h"
#include "ui/gui/screen_scale.h"
#include "ui/user_interaction.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Zones are edited on the parameter page only, need an area, and neither exchange X and Y nor
// nest another constructor; a zone cannot itself be a zone system.
constexpr unsigned kZoneEditorOptions = TCoordinateSystemEditorConfiguration::kRequireBounds |
                                        TCoordinateSystemEditorConfiguration::kNoListPage |
                                        TCoordinateSystemEditorConfiguration::kHideSwitchXY |
                                        TCoordinateSystemEditorConfiguration::kNoCustomEditor;

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QtText(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// Parameter texts may span lines (WKT, JSON); a list cell shows them on one.
QString OneLine(const AnsiString& text) {
    return ToQString(text).simplified();
}

} // namespace

TMSKCoordinateSystemEditor::TMSKCoordinateSystemEditor(QWidget* owner,
                                                       TCoordinateSystemCatalog& catalog,
                                                       const TCoordinateReferenceDef& reference)
    : QDialog(owner), m_catalog(catalog), m_msk(reference), m_result(reference) {
    m_msk.ReadParameters();

    setObjectName(QStringLiteral("MSKCoordinateSystemEditor"));
    setWindowTitle(QtText("Редактирование параметров координатной системы"));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(QtText("Название:"), this);
    m_nameEdit = new QLineEdit(ToQString(reference.Caption), this);
    m_nameEdit->setObjectName(QStringLiteral("NameEdit"));
    m_nameEdit->setPlaceholderText(QtText("Имя системы координат"));
    nameLabel->setBuddy(m_nameEdit);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_nameEdit, 1);
    layout->addLayout(nameRow);

    auto* zonesLabel = new QLabel(QtText("Зоны:"), this);
    layout->addWidget(zonesLabel);
    auto* zonesRow = new QHBoxLayout;
    m_zoneList = new QTreeWidget(this);
    m_zoneList->setObjectName(QStringLiteral("ZoneListView"));
    m_zoneList->setColumnCount(3);
    m_zoneList->setHeaderLabels(
        {QtText("Название"), QtText("Параметры"), QtText("Область определения")});
    m_zoneList->setRootIsDecorated(false);
    m_zoneList->setUniformRowHeights(true);
    m_zoneList->setAllColumnsShowFocus(true);
    m_zoneList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_zoneList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_zoneList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Captions and areas are short and shown whole; the parameters take the rest of the width
    // (their full text is the cell's tooltip).
    m_zoneList->header()->setStretchLastSection(false);
    m_zoneList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_zoneList->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_zoneList->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    zonesLabel->setBuddy(m_zoneList);
    zonesRow->addWidget(m_zoneList, 1);
    auto* zoneButtons = new QVBoxLayout;
    auto* addButton = MakeButton("AddButton", "Добавить ...", this);
    m_editButton = MakeButton("EditButton", "Изменить ...", this);
    m_removeButton = MakeButton("RemoveButton", "Удалить", this);
    zoneButtons->addWidget(addButton);
    zoneButtons->addWidget(m_editButton);
    zoneButtons->addWidget(m_removeButton);
    zoneButtons->addStretch(1);
    zonesRow->addLayout(zoneButtons);
    layout->addLayout(zonesRow, 1);

    auto* dialogButtons = new QHBoxLayout;
    auto* testButton = MakeButton("TestButton", "Тестировать", this);
    auto* okButton = MakeButton("OkButton", "ОК", this);
    okButton->setDefault(true);
    auto* cancelButton = MakeButton("CancelButton", "Отмена", this);
    dialogButtons->addWidget(testButton);
    dialogButtons->addStretch(1);
    dialogButtons->addWidget(okButton);
    dialogButtons->addWidget(cancelButton);
    layout->addLayout(dialogButtons);

    connect(addButton, &QPushButton::clicked, this, [this] { Guarded([this] { AddZone(); }); });
    connect(m_editButton, &QPushButton::clicked, this, [this] { Guarded([this] { EditZone(); }); });
    connect(m_zoneList, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { EditZone(); }); });
    connect(m_removeButton, &QPushButton::clicked, this, [this] { RemoveZone(); });
    connect(testButton, &QPushButton::clicked, this, [this] { Guarded([this] { Test(); }); });
    connect(okButton, &QPushButton::clicked, this, [this] { Guarded([this] { Ok(); }); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_zoneList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

    FillZones(m_msk.Zones().empty() ? -1 : 0);
    resize(ScreenScaled(QSize(820, 360), this));
}

bool TMSKCoordinateSystemEditor::Execute(QWidget* owner, TCoordinateSystemCatalog& catalog,
                                         TCoordinateReferenceDef& reference) {
    TMSKCoordinateSystemEditor editor(owner, catalog, reference);
    if (editor.exec() != QDialog::Accepted)
        return false;
    reference = editor.Reference();
    return true;
}

void TMSKCoordinateSystemEditor::FillZones(int selectRow) {
    m_zoneList->clear();
    for (const TCoordinateReferencePtr& zone : m_msk.Zones()) {
        const TCoordinateReferenceDef& def = zone->Def();
        auto* item = new QTreeWidgetItem(m_zoneList);
        item->setText(0, ToQString(def.Caption));
        item->setText(1, OneLine(def.ParamsText()));
        item->setToolTip(1, ToQString(def.ParamsText()));
        item->setText(2,
                      def.HasBoundingBox ? ToQString(BoundingBoxText(def.BoundingBox)) : QString());
    }
    if (selectRow >= 0 && selectRow < m_zoneList->topLevelItemCount())
        m_zoneList->setCurrentItem(m_zoneList->topLevelItem(selectRow));
    UpdateButtons();
}

int TMSKCoordinateSystemEditor::SelectedZone() const {
    const QList<QTreeWidgetItem*> selected = m_zoneList->selectedItems();
    return selected.isEmpty() ? -1 : m_zoneList->indexOfTopLevelItem(selected.first());
}

void TMSKCoordinateSystemEditor::UpdateButtons() {
    const bool hasZone = SelectedZone() >= 0;
    m_editButton->setEnabled(hasZone);
    m_removeButton->setEnabled(hasZone);
}

TCoordinateReferenceDef TMSKCoordinateSystemEditor::ComposeReference() {
    m_msk.SetCaption(AnsiString(TrimControls(FromQString(m_nameEdit->text()))));
    m_msk.WriteParameters();
    return m_msk.Def();
}

void TMSKCoordinateSystemEditor::Validate(const TCoordinateReferenceDef& def) {
    // A system without zones converts no point at all; it is refused here rather than at the
    // first conversion.
    if (m_msk.Zones().empty())
        throw ECoordinateSystemError(Ansi("Не задано ни одной зоны координатной системы"));
    m_catalog.ValidateReference(def);
}

void TMSKCoordinateSystemEditor::AddZone() {
    TCoordinateReferenceDef zone;
    if (!EditCoordinateSystem(this, m_catalog, kZoneEditorOptions, "MSK", zone))
        return;
    m_msk.Zones().push_back(std::make_shared<TCoordinateReference>(zone));
    FillZones(static_cast<int>(m_msk.Zones().size()) - 1);
}

void TMSKCoordinateSystemEditor::EditZone() {
    const int row = SelectedZone();
    if (row < 0)
        return;
    TCoordinateReferenceDef zone = m_msk.Zones()[static_cast<size_t>(row)]->Def();
    if (!EditCoordinateSystem(this, m_catalog, kZoneEditorOptions, "MSK", zone))
        return;
    m_msk.Zones()[static_cast<size_t>(row)] = std::make_shared<TCoordinateReference>(zone);
    FillZones(row);
}

void TMSKCoordinateSystemEditor::RemoveZone() {
    const int row = SelectedZone();
    if (row < 0)
        return;
    auto& zones = m_msk.Zones();
    zones.erase(zones.begin() + row);
    FillZones(std::min(row, static_cast<int>(zones.size()) - 1));
}

void TMSKCoordinateSystemEditor::Test() {
    Validate(ComposeReference());
    UserInteraction().ShowMessage(Ansi("Система координат задана корректно"));
}

void TMSKCoordinateSystemEditor::Ok() {
    const TCoordinateReferenceDef def = ComposeReference();
    Validate(def);
    m_result = def;
    accept();
}

template <class Action> void TMSKCoordinateSystemEditor::Guarded(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        UserInteraction().ShowError(ExceptionMessage(e));
    }
}

void RegisterStandardCoordinateSystemEditors() {
    RegisterCoordinateSystemCustomEditor("MSK",
                                         std::make_shared<TMSKCoordinateSystemCustomEditor>());
}
