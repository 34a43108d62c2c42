#include "coords/gui/coordinate_system_editor.h"

#include "coords/gui/coordinate_system_list_model.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/qt_text.h"
#include "text/number_text.h"
#include "text/text_rules.h"
#include "ui/gui/delayed_event.h"
#include "ui/gui/screen_scale.h"
#include "ui/user_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QtText(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// The keys the filter field hands to the list, so the list can be walked while typing.
bool IsListNavigationKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

TCoordinateSystemEditorForm::TCoordinateSystemEditorForm(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("CoordinateSystemEditorForm"));
    setWindowTitle(QtText("Выбор параметров проекции"));
    setSizeGripEnabled(true);
    m_filterEvent = new TDelayedEvent(
        kFilterDelayMs, [this] { ApplyFilter(); }, this);
    BuildControls();
    resize(ScreenScaled(QSize(680, 500), this));
}

TCoordinateSystemEditorForm::~TCoordinateSystemEditorForm() = default;

void TCoordinateSystemEditorForm::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(m_pages, 1);

    // The list page.
    m_selectPage = new QWidget(m_pages);
    m_selectPage->setObjectName(QStringLiteral("SelectTabSheet"));
    auto* selectLayout = new QVBoxLayout(m_selectPage);
    m_filterEdit = new QLineEdit(m_selectPage);
    m_filterEdit->setObjectName(QStringLiteral("FilterEdit"));
    m_filterEdit->setPlaceholderText(QtText("Фильтр"));
    m_filterEdit->setClearButtonEnabled(true);
    m_filterEdit->installEventFilter(this);
    selectLayout->addWidget(m_filterEdit);
    m_listModel = new TCoordinateSystemListModel(this);
    m_listView = new QTreeView(m_selectPage);
    m_listView->setObjectName(QStringLiteral("ListView"));
    m_listView->setModel(m_listModel);
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->header()->setSectionsClickable(false);
    m_listView->header()->setStretchLastSection(true);
    selectLayout->addWidget(m_listView, 1);
    m_pages->addTab(m_selectPage, QtText("Выбрать из списка"));

    // The parameter page.
    m_editPage = new QWidget(m_pages);
    m_editPage->setObjectName(QStringLiteral("EditTabSheet"));
    auto* editLayout = new QVBoxLayout(m_editPage);

    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(QtText("Название:"), m_editPage);
    m_nameEdit = new QLineEdit(m_editPage);
    m_nameEdit->setObjectName(QStringLiteral("NameEdit"));
    m_nameEdit->setPlaceholderText(QtText("Имя системы координат"));
    nameLabel->setBuddy(m_nameEdit);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_nameEdit, 1);
    editLayout->addLayout(nameRow);

    auto* parameters = new QGroupBox(QtText("Параметры"), m_editPage);
    auto* parametersLayout = new QVBoxLayout(parameters);
    auto* formatRow = new QHBoxLayout;
    auto* formatLabel = new QLabel(QtText("Формат:"), parameters);
    m_typeCombo = new QComboBox(parameters);
    m_typeCombo->setObjectName(QStringLiteral("TypeComboBox"));
    m_typeCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_typeCombo->setMinimumContentsLength(10);
    formatLabel->setBuddy(m_typeCombo);
    m_customEditButton = MakeButton("CustomEditButton", "Конструирование", parameters);
    auto* clearButton = MakeButton("ClearButton", "Очистить", parameters);
    auto* descriptionButton = MakeButton("FormatDescriptionButton", "Описание", parameters);
    formatRow->addWidget(formatLabel);
    formatRow->addWidget(m_typeCombo, 1);
    formatRow->addWidget(m_customEditButton);
    formatRow->addWidget(clearButton);
    formatRow->addWidget(descriptionButton);
    parametersLayout->addLayout(formatRow);
    m_datumMemo = new QPlainTextEdit(parameters);
    m_datumMemo->setObjectName(QStringLiteral("DatumMemo"));
    m_datumMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_datumMemo->setTabChangesFocus(true);
    parametersLayout->addWidget(m_datumMemo, 1);
    editLayout->addWidget(parameters, 1);

    auto* area = new QGroupBox(QtText("Область определения "), m_editPage);
    auto* areaLayout = new QHBoxLayout(area);
    auto* boundsLabel = new QLabel(QtText("Прямоугольник:"), area);
    m_boundsEdit = new QLineEdit(area);
    m_boundsEdit->setObjectName(QStringLiteral("BoundsEdit"));
    m_boundsEdit->setPlaceholderText(
        QtText("Координаты области определения, задаются в виде: X1 Y1 X2 Y2"));
    // Wide enough for its hint: the format of the text is what the hint is there to tell.
    m_boundsEdit->setMinimumWidth(
        m_boundsEdit->fontMetrics().horizontalAdvance(m_boundsEdit->placeholderText()) +
        ScreenScaled(16, this));
    boundsLabel->setBuddy(m_boundsEdit);
    auto* boundsClearButton = MakeButton("BoundsClearButton", "Очистить", area);
    areaLayout->addWidget(boundsLabel);
    areaLayout->addWidget(m_boundsEdit, 1);
    areaLayout->addWidget(boundsClearButton);
    editLayout->addWidget(area);

    m_switchXY = new QCheckBox(QtText("Координаты X и Y поменяны местами"), m_editPage);
    m_switchXY->setObjectName(QStringLiteral("SwitchXY"));
    editLayout->addWidget(m_switchXY);

    auto* pageButtons = new QHBoxLayout;
    auto* testButton = MakeButton("TestButton", "Тестировать", m_editPage);
    auto* pasteButton = MakeButton("CopyFromBufferButton", "Вставить из буфера", m_editPage);
    auto* copyButton = MakeButton("CopyToBufferButton", "Скопировать в буфер", m_editPage);
    pageButtons->addWidget(testButton);
    pageButtons->addStretch(1);
    pageButtons->addWidget(pasteButton);
    pageButtons->addWidget(copyButton);
    editLayout->addLayout(pageButtons);
    m_pages->addTab(m_editPage, QtText("По параметрам датума"));

    auto* dialogButtons = new QHBoxLayout;
    auto* okButton = MakeButton("OkButton", "ОК", this);
    okButton->setDefault(true);
    auto* cancelButton = MakeButton("CancelButton", "Отмена", this);
    dialogButtons->addStretch(1);
    dialogButtons->addWidget(okButton);
    dialogButtons->addWidget(cancelButton);
    layout->addLayout(dialogButtons);

    connect(m_filterEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter.SetText(FromQString(text));
        m_filterEvent->Trigger();
    });
    connect(m_listView, &QAbstractItemView::doubleClicked, this, [this] {
        if (SelectedRow() >= 0)
            Guarded([this] { Ok(); });
    });
    connect(m_typeCombo, &QComboBox::currentIndexChanged, this, [this] { UpdateCustomEditor(); });
    connect(m_customEditButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { Construct(); }); });
    connect(clearButton, &QPushButton::clicked, this, [this] { ClearFormat(); });
    connect(descriptionButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ShowFormatDescription(); }); });
    connect(boundsClearButton, &QPushButton::clicked, m_boundsEdit, &QLineEdit::clear);
    connect(testButton, &QPushButton::clicked, this, [this] { Guarded([this] { Test(); }); });
    connect(pasteButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { PasteFromClipboard(); }); });
    connect(copyButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { CopyToClipboard(); }); });
    connect(okButton, &QPushButton::clicked, this, [this] { Guarded([this] { Ok(); }); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TCoordinateSystemEditorForm::Setup(TCoordinateSystemCatalog& catalog,
                                        const TCoordinateSystemEditorConfiguration& configuration,
                                        const TCoordinateReferenceDef& reference) {
    m_catalog = &catalog;
    m_configuration = configuration;
    m_reference = reference;
    FillList();
    FillFormats();
    ShowReference(m_reference);

    m_switchXY->setVisible(
        !m_configuration.Has(TCoordinateSystemEditorConfiguration::kHideSwitchXY));
    const int selectIndex = m_pages->indexOf(m_selectPage);
    if (m_configuration.Has(TCoordinateSystemEditorConfiguration::kNoListPage)) {
        m_pages->setTabVisible(selectIndex, false);
        m_pages->setCurrentWidget(m_editPage);
        m_nameEdit->setFocus();
        return;
    }
    m_pages->setTabVisible(selectIndex, true);
    const int row = m_listModel->FindEntry(m_reference);
    if (row >= 0) {
        m_pages->setCurrentWidget(m_selectPage);
        SelectEntry(row);
        m_listView->setFocus();
        m_scrollPending = true;
    } else {
        m_pages->setCurrentWidget(m_editPage);
        m_nameEdit->setFocus();
    }
}

void TCoordinateSystemEditorForm::FillList() {
    if (!m_catalog || m_configuration.Has(TCoordinateSystemEditorConfiguration::kNoListPage)) {
        m_listModel->Clear();
        return;
    }
    m_listModel->Fill(m_catalog->References(), m_filter,
                      m_configuration.Has(TCoordinateSystemEditorConfiguration::kHideUndefined));
}

void TCoordinateSystemEditorForm::ApplyFilter() {
    m_filterEvent->Cancel();
    // The entry chosen before keeps its selection while the filter still shows it.
    const int selected = SelectedRow();
    const TCoordinateReference* chosen = m_listModel->ReferenceAt(selected);
    FillList();
    if (selected >= 0) {
        const int row = m_listModel->RowOf(chosen);
        if (row >= 0) {
            SelectEntry(row);
            m_listView->scrollTo(m_listModel->index(row), QAbstractItemView::EnsureVisible);
        }
    }
    UpdateCustomEditor();
}

void TCoordinateSystemEditorForm::FillFormats() {
    const QSignalBlocker blocker(m_typeCombo);
    m_typeCombo->clear();
    m_formats.clear();
    if (!m_catalog)
        return;
    for (const TCoordinateReferenceFormatPtr& format : m_catalog->Formats()) {
        if (!format || (!m_configuration.ExcludedFormat.empty() &&
                        AnsiSameText(format->Name, m_configuration.ExcludedFormat)))
            continue;
        m_formats.push_back(format);
        m_typeCombo->addItem(ToQString(format->Name));
        m_typeCombo->setItemData(m_typeCombo->count() - 1, ToQString(format->Caption),
                                 Qt::ToolTipRole);
    }
    int proj4 = -1;
    for (size_t i = 0; i < m_formats.size() && proj4 < 0; ++i)
        if (AnsiSameText(m_formats[i]->Name, "PROJ4"))
            proj4 = static_cast<int>(i);
    m_typeCombo->setCurrentIndex(proj4);
}

void TCoordinateSystemEditorForm::SelectEntry(int row) {
    const QModelIndex index = m_listModel->index(row);
    m_listView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    m_listView->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

int TCoordinateSystemEditorForm::SelectedRow() const {
    const QModelIndexList rows = m_listView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TCoordinateSystemEditorForm::ShowReference(const TCoordinateReferenceDef& reference) {
    m_nameEdit->setText(ToQString(reference.Caption));
    int formatIndex = -1;
    const std::string_view format = TrimControls(reference.Format);
    for (size_t i = 0; i < m_formats.size() && formatIndex < 0; ++i)
        if (AnsiSameText(TrimControls(m_formats[i]->Name), format))
            formatIndex = static_cast<int>(i);
    m_typeCombo->setCurrentIndex(formatIndex);
    m_datumMemo->setPlainText(ToQString(reference.Parameters));
    m_boundsEdit->setText(
        reference.HasBoundingBox ? ToQString(BoundingBoxText(reference.BoundingBox)) : QString());
    m_switchXY->setChecked(reference.SwitchXY);
    UpdateCustomEditor();
}

void TCoordinateSystemEditorForm::UpdateCustomEditor() {
    if (m_configuration.Has(TCoordinateSystemEditorConfiguration::kNoCustomEditor)) {
        m_customEditor = nullptr;
        m_customEditButton->setVisible(false);
        m_customEditButton->setEnabled(false);
        return;
    }
    const TCoordinateReferenceFormatPtr format = SelectedFormat();
    m_customEditor = format ? FindCoordinateSystemCustomEditor(format->Name) : nullptr;
    m_customEditButton->setVisible(m_customEditor != nullptr);
}

TCoordinateReferenceFormatPtr TCoordinateSystemEditorForm::SelectedFormat() const {
    const int index = m_typeCombo->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_formats.size()))
        return nullptr;
    return m_formats[static_cast<size_t>(index)];
}

TCoordinateReferenceDef TCoordinateSystemEditorForm::ReadPageFields() const {
    TCoordinateReferenceDef def;
    def.Caption = AnsiString(TrimControls(FromQString(m_nameEdit->text())));
    const TCoordinateReferenceFormatPtr format = SelectedFormat();
    def.SetFormat(format ? std::string_view(format->Name) : std::string_view());
    def.Parameters = AnsiString(TrimControls(FromQString(m_datumMemo->toPlainText())));
    def.SwitchXY = m_switchXY->isChecked();
    return def;
}

TCoordinateReferenceDef TCoordinateSystemEditorForm::ReadPage() const {
    const bool nameBlank = TrimControls(FromQString(m_nameEdit->text())).empty();
    const bool parametersBlank = TrimControls(FromQString(m_datumMemo->toPlainText())).empty();
    if (m_configuration.Has(TCoordinateSystemEditorConfiguration::kAllowBlank) && nameBlank &&
        !SelectedFormat() && parametersBlank)
        return ReadPageFields();
    if (nameBlank)
        throw ECoordinateSystemError(Ansi("Не задано имя координатной системы"));
    if (!SelectedFormat())
        throw ECoordinateSystemError(
            Ansi("Не задан формат описания параметров координатной системы"));
    TCoordinateReferenceDef def = ReadPageFields();
    const AnsiString bounds = AnsiString(TrimControls(FromQString(m_boundsEdit->text())));
    if (bounds.empty()) {
        if (m_configuration.Has(TCoordinateSystemEditorConfiguration::kRequireBounds))
            throw ECoordinateSystemError(Ansi("Не задана область определения системы координат"));
    } else {
        def.SetBoundingBoxText(bounds);
        if (!def.HasBoundingBox)
            throw ECoordinateSystemError(Ansi("Неверный формат записи области определения"));
    }
    return def;
}

bool TCoordinateSystemEditorForm::OnListPage() const {
    return !m_configuration.Has(TCoordinateSystemEditorConfiguration::kNoListPage) &&
           m_pages->currentWidget() == m_selectPage;
}

void TCoordinateSystemEditorForm::Ok() {
    if (OnListPage()) {
        const int row = SelectedRow();
        if (row < 0)
            throw ECoordinateSystemError(Ansi("Не выбрана система координат"));
        m_reference = m_listModel->DefAt(row);
    } else {
        TCoordinateReferenceDef def = ReadPage();
        if (!def.IsUndefined()) {
            if (m_catalog)
                m_catalog->ValidateReference(def);
        } else if (!m_configuration.Has(TCoordinateSystemEditorConfiguration::kAllowBlank)) {
            throw ECoordinateSystemError(Ansi("Параметры системы координат не заданы"));
        }
        m_reference = std::move(def);
    }
    accept();
}

void TCoordinateSystemEditorForm::Test() {
    const TCoordinateReferenceDef def = ReadPage();
    if (def.IsUndefined())
        throw ECoordinateSystemError(Ansi("Параметры системы координат не заданы"));
    if (m_catalog)
        m_catalog->ValidateReference(def);
    UserInteraction().ShowMessage(Ansi("Система координат задана корректно"));
}

void TCoordinateSystemEditorForm::CopyToClipboard() {
    TClipboard::SetText(AnsiToWide(ReadPage().ClipboardLine()));
}

void TCoordinateSystemEditorForm::PasteFromClipboard() {
    TCoordinateReferenceDef def;
    def.ReadClipboardLine(WideToAnsi(TClipboard::GetText()));
    m_reference = def;
    ShowReference(m_reference);
}

void TCoordinateSystemEditorForm::Construct() {
    if (!m_customEditor || !m_catalog)
        return;
    TCoordinateReferenceDef def = ReadPageFields();
    // The area typed on the page goes along, so it is shown again after the constructor.
    def.SetBoundingBoxText(TrimControls(FromQString(m_boundsEdit->text())));
    const TCoordinateSystemCustomEditorPtr editor = m_customEditor;
    if (editor->Edit(this, *m_catalog, def)) {
        m_reference = def;
        ShowReference(m_reference);
    }
}

void TCoordinateSystemEditorForm::ClearFormat() {
    m_datumMemo->clear();
    // Without a format there is nothing to construct: the custom editor follows the selection.
    m_typeCombo->setCurrentIndex(-1);
}

void TCoordinateSystemEditorForm::ShowFormatDescription() {
    const TCoordinateReferenceFormatPtr format = SelectedFormat();
    if (!format)
        return;
    UserInteraction().ShowMessage(format->Description.empty() ? format->Caption
                                                              : format->Description);
}

template <class Action> void TCoordinateSystemEditorForm::Guarded(Action action) {
    try {
        action();
    } catch (const std::exception& e) {
        UserInteraction().ShowError(ExceptionMessage(e));
    }
}

bool TCoordinateSystemEditorForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filterEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsListNavigationKey(key->key())) {
            QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers(), key->text(),
                           key->isAutoRepeat(), static_cast<ushort>(key->count()));
            QCoreApplication::sendEvent(m_listView, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TCoordinateSystemEditorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_scrollPending)
        return;
    m_scrollPending = false;
    // The view knows its height only once the dialog is laid out.
    QTimer::singleShot(0, this, [this] {
        const QModelIndex current = m_listView->currentIndex();
        if (current.isValid())
            m_listView->scrollTo(current, QAbstractItemView::PositionAtCenter);
    });
}

bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog,
                          const TCoordinateSystemEditorConfiguration& configuration,
                          TCoordinateReferenceDef& reference) {
    TCoordinateSystemEditorForm form(owner);
    form.Setup(catalog, configuration, reference);
    if (form.exec() != QDialog::Accepted)
        return false;
    reference = form.Reference();
    return true;
}

bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog, unsigned options,
                          TCoordinateReferenceDef& reference) {
    return EditCoordinateSystem(owner, catalog, options, AnsiString(), reference);
}

bool EditCoordinateSystem(QWidget* owner, TCoordinateSystemCatalog& catalog, unsigned options,
                          const AnsiString& excludedFormat, TCoordinateReferenceDef& reference) {
    TCoordinateSystemEditorConfiguration configuration;
    configuration.Options = static_cast<std::uint8_t>(options & 0xFF);
    configuration.ExcludedFormat = excludedFormat;
    return EditCoordinateSystem(owner, catalog, configuration, reference);
}
