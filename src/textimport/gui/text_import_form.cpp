// The text import wizard: its pages and buttons, the moves between pages and the run.
#include "textimport/gui/text_import_form.h"

#include "addon/custom_addon.h"
#include "addon/import_transformation_host.h"
#include "coords/gui/import_transformation_page.h"
#include "host_api/host_errors.h"
#include "import/run_summary.h"
#include "platform/gui/qt_text.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/qt_progress.h"
#include "textimport/text_import_run.h"
#include "textimport/text_run_summary.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/gui/run_summary_panel.h"
#include "ui/gui/screen_scale.h"
#include "ui/gui/wizard_layout.h"
#include "ui/user_interaction.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

TTextImportForm::TTextImportForm(QWidget* parent) : TWizardDialog(parent) {
    setObjectName(QStringLiteral("TextImportForm"));
    setWindowTitle(QtText("Импорт текстовых данных"));
    setSizeGripEnabled(true);
    setMinimumSize(ScreenScaled(QSize(700, 400), this));

    m_table->SetQuoteChar('"');

    BuildFrame({"Prev", "Next", "Cancel", "Отмена"});
    AddPage(BuildSourcePage());
    AddPage(BuildParamsPage());
    AddPage(BuildSemDataPage());
    m_transformPage = new TImportTransformationPage(Pages());
    m_transformPage->setObjectName(QStringLiteral("TransformationTabSheet"));
    AddPage(m_transformPage);
    AddPage(BuildImportPage());

    // The progress component drives the import page's bar and label.
    m_progressBarView = std::make_unique<TQtProgressBar>(*m_progressBar);
    m_progressLabelView = std::make_unique<TQtProgressLabel>(*m_progressLabel);
    m_progress.SetProgressLabel(m_progressLabelView.get());
    m_progress.SetProgressBar(m_progressBarView.get());

    m_importType->setCurrentIndex(0);
    m_table->SetDelimiter(Separator());
    Connect();
    UpdateButtons();
    // Tall enough for the column names and the sample of rows both on the parameters page.
    resize(ScreenScaled(QSize(760, 580), this));
}

TTextImportForm::~TTextImportForm() {
    // The bar's adapters go before the widgets they stand for.
    m_progress.SetProgressBar(nullptr);
    m_progress.SetProgressLabel(nullptr);
}

QWidget* TTextImportForm::BuildSourcePage() {
    auto* page = Named(new QWidget, "SrcTextPage");
    page->setWindowTitle(QtText("Исходные данные"));

    m_source = Named(new QPlainTextEdit(page), "Source");
    m_source->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_source->setTabChangesFocus(false);
    m_source->setTabStopDistance(m_source->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
    auto* sourceLabel =
        MakeLabel("Текстовые данные или локальные пути к импортируемым файлам:", m_source, page);

    m_srcPaste = MakeButton("SrcPaste", "&Вставить из буфера обмена", page);
    m_srcOpen = MakeButton("SrcOpen", "&Добавить файлы...", page);
    m_srcClear = MakeButton("SrcClear", "&Очистить", page);
    m_codePage = Named(new QComboBox(page), "CodePageComboBox");
    m_codePage->addItems(
        {QStringLiteral("Windows-1251"), QStringLiteral("UTF-8"), QStringLiteral("OEM 866")});
    m_codePage->setCurrentIndex(0);
    m_importModeLabel = Named(new QLabel(page), "ImportModeLabel");

    auto* side = new QVBoxLayout;
    side->addWidget(m_srcPaste);
    side->addWidget(m_srcOpen);
    side->addWidget(m_srcClear);
    side->addStretch(1);
    side->addWidget(MakeLabel("Кодировка:", m_codePage, page));
    side->addWidget(m_codePage);
    auto* body = new QHBoxLayout;
    body->addWidget(m_source, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(sourceLabel);
    layout->addLayout(body, 1);
    layout->addWidget(m_importModeLabel);
    SetImportMode(TImportMode::Text);
    return page;
}

QWidget* TTextImportForm::BuildParamsPage() {
    auto* page = Named(new QWidget, "SrcParamsPage");
    page->setWindowTitle(QtText("Параметры"));

    m_importType = Named(new QComboBox(page), "ComboBoxImportType");
    m_importType->addItems({QtText("Импортировать как набор точек объекта"),
                            QtText("Импортировать как объект с несколькими формами"),
                            QtText("Импортировать как несколько объектов")});

    auto* separators = Named(new QGroupBox(QtText(" Разделитель столбцов: "), page), "DivGroup");
    m_tabDivided = Named(new QRadioButton(QtText("Символ табуляции"), separators), "TabDivided");
    m_symbolDivided =
        Named(new QRadioButton(QtText("Другой символ:"), separators), "SymbolDivided");
    m_symbolDivided->setChecked(true);
    m_divSymbol = Named(new QLineEdit(QStringLiteral(";"), separators), "DivSymbol");
    m_divSymbol->setFixedWidth(ScreenScaled(40, this));
    auto* separatorLayout = new QGridLayout(separators);
    separatorLayout->addWidget(m_tabDivided, 0, 0, 1, 2);
    separatorLayout->addWidget(m_symbolDivided, 1, 0);
    separatorLayout->addWidget(m_divSymbol, 1, 1);
    separatorLayout->setColumnStretch(2, 1);

    m_srcFieldsGrid = Named(new QTableWidget(1, 1, page), "SrcFieldsGrid");
    // One name per row, in column order; the default names carry the column's index.
    m_srcFieldsGrid->horizontalHeader()->hide();
    m_srcFieldsGrid->verticalHeader()->hide();
    m_srcFieldsGrid->horizontalHeader()->setStretchLastSection(true);
    m_srcFieldsGrid->verticalHeader()->setDefaultSectionSize(
        m_srcFieldsGrid->fontMetrics().height() + ScreenScaled(6, this));
    m_srcFieldsGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_srcFieldsGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_srcFieldsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_srcFieldsGrid->setEditTriggers(QAbstractItemView::DoubleClicked |
                                     QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed);
    m_srcFieldsGrid->setWordWrap(false);
    m_srcFieldsGrid->setTabKeyNavigation(false);

    m_xCoordField = Named(new QComboBox(page), "XCoordField");
    m_yCoordField = Named(new QComboBox(page), "YCoordField");
    m_mapsBox = Named(new TIdCaptionComboBox(page), "Maps");
    m_mapsBox->SetSorted(true);
    m_layersBox = Named(new TIdCaptionComboBox(page), "SimpleComboBoxLayers");
    m_layersBox->SetSorted(true);
    m_classifyField = Named(new QComboBox(page), "ClassifyField");
    m_classifyLabel =
        Named(MakeLabel("Стиль в зависимости от столбца:", m_classifyField, page), "Label1");
    for (QComboBox* box : {m_xCoordField, m_yCoordField, static_cast<QComboBox*>(m_mapsBox),
                           static_cast<QComboBox*>(m_layersBox), m_classifyField}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        box->setMaxVisibleItems(20);
    }
    m_stylesGrid = Named(new TArrowGrid(QtText("Значение"), QtText("Стиль"), "SelectStyle", page),
                         "ImportStylesGrid");
    m_stylesGrid->SetRowCountKeepingCells(1);

    // Left: how the text becomes columns and which hold the coordinates; right: where the
    // objects go and with which styles. Labels stand above their lists, so that long map and
    // layer names keep the whole width of their column.
    auto* coordinates = new QGridLayout;
    coordinates->addWidget(MakeLabel("Столбец с координатой X:", m_xCoordField, page), 0, 0);
    coordinates->addWidget(MakeLabel("Столбец с координатой Y:", m_yCoordField, page), 0, 1);
    coordinates->addWidget(m_xCoordField, 1, 0);
    coordinates->addWidget(m_yCoordField, 1, 1);
    coordinates->setColumnStretch(0, 1);
    coordinates->setColumnStretch(1, 1);
    auto* left = new QVBoxLayout;
    left->addWidget(MakeLabel("Метод импорта:", m_importType, page));
    left->addWidget(m_importType);
    left->addWidget(separators);
    left->addWidget(MakeLabel("Названия столбцов:", m_srcFieldsGrid, page));
    left->addWidget(m_srcFieldsGrid, 1);
    left->addLayout(coordinates);

    auto* right = new QVBoxLayout;
    right->addWidget(MakeLabel("Импортировать в карту:", m_mapsBox, page));
    right->addWidget(m_mapsBox);
    right->addWidget(MakeLabel("Импортировать в слой:", m_layersBox, page));
    right->addWidget(m_layersBox);
    right->addWidget(m_classifyLabel);
    right->addWidget(m_classifyField);
    right->addWidget(m_stylesGrid, 1);

    // Below both: the first rows as the current separator and names split them.
    m_sampleGrid = Named(new QTableWidget(0, 0, page), "SampleGrid");
    m_sampleGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sampleGrid->setSelectionMode(QAbstractItemView::NoSelection);
    m_sampleGrid->setWordWrap(false);
    m_sampleGrid->setTabKeyNavigation(false);
    m_sampleGrid->verticalHeader()->setDefaultSectionSize(m_sampleGrid->fontMetrics().height() +
                                                          ScreenScaled(4, this));
    m_sampleGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_sampleGrid->horizontalHeader()->setDefaultSectionSize(ScreenScaled(90, this));

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(ScreenScaled(8, this));
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns, 3);
    layout->addWidget(MakeLabel(
        "Образец данных (первые 20 строк; X и Y отмечены, не числа выделены):", m_sampleGrid,
        page));
    layout->addWidget(m_sampleGrid, 2);
    return page;
}

QWidget* TTextImportForm::BuildSemDataPage() {
    auto* page = Named(new QWidget, "SemDataPage");
    page->setWindowTitle(QtText("Импорт семантических данных"));
    m_fieldsGrid = Named(
        new TArrowGrid(QtText("Исходное поле"), QtText("Таблица и поле"), "SelectField", page),
        "ImportFieldsGrid");
    m_fieldsGrid->setColumnWidth(0, ScreenScaled(200, this));
    m_fieldsGrid->SetRowCountKeepingCells(1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(MakeLabel("Импорт семантических данных:", m_fieldsGrid, page));
    layout->addWidget(m_fieldsGrid, 1);
    return page;
}

QWidget* TTextImportForm::BuildImportPage() {
    auto* page = Named(new QWidget, "ImportPage");
    auto* hint = Named(new QLabel(QtText("Для начала импорта нажмите кнопку \"Импорт\"."), page),
                       "ImportHintLabel");
    m_progressLabel = Named(new QLabel(QtText("Индикатор процесса:"), page), "ProgressLabel");
    m_progressBar = Named(new QProgressBar(page), "ProgressBar");
    m_progressBar->setTextVisible(false);
    m_runSummary = new TRunSummaryPanel(page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(hint);
    layout->addWidget(m_runSummary);
    layout->addStretch(1);
    layout->addWidget(m_progressLabel);
    // The bar with the run's own stop button beside it, enabled while a run goes on.
    m_stopButton = MakeButton("StopButton", "Прервать", page);
    m_stopButton->setEnabled(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_progressBar, 1);
    bar->addWidget(m_stopButton);
    layout->addLayout(bar);
    return page;
}

void TTextImportForm::Connect() {
    // The run's own cancel: the progress lets this click through while the run goes on.
    connect(m_stopButton, &QPushButton::clicked, this, [this] { m_progress.Cancel(); });

    connect(m_source, &QPlainTextEdit::textChanged, this,
            [this] { Guarded([this] { SeparatorChanged(); }); });
    OnSignal(m_srcPaste, &QPushButton::clicked, &TTextImportForm::Paste);
    OnSignal(m_srcOpen, &QPushButton::clicked, &TTextImportForm::ChooseFiles);
    OnSignal(m_srcClear, &QPushButton::clicked, &TTextImportForm::ClearSource);

    connect(m_importType, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });
    for (QRadioButton* radio : {m_tabDivided, m_symbolDivided})
        connect(radio, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                Guarded([this] { SeparatorChanged(); });
        });
    connect(m_divSymbol, &QLineEdit::textChanged, this,
            [this] { Guarded([this] { SeparatorChanged(); }); });
    for (QComboBox* box : {m_xCoordField, m_yCoordField})
        OnSignal(box, &QComboBox::currentIndexChanged, &TTextImportForm::UpdateSample);
    connect(m_srcFieldsGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        Guarded([this, row = item->row()] { ColumnNameEdited(row); });
    });
    // The lists react to the user's choices, also when the same entry is chosen again; the
    // wizard's own changes of their selection change nothing else.
    OnSignal(m_mapsBox, &QComboBox::activated, &TTextImportForm::MapChanged);
    OnSignal(m_layersBox, &QComboBox::activated, &TTextImportForm::LayerChanged);
    OnSignal(m_classifyField, &QComboBox::activated, &TTextImportForm::ClassifierChanged);
    m_stylesGrid->onChoose = [this](int row) { Guarded([this, row] { PickStyle(row); }); };
    m_fieldsGrid->onChoose = [this](int row) { Guarded([this, row] { PickField(row); }); };
}

void TTextImportForm::Setup(TQmCustomAddon& addon) {
    m_addon = &addon;
    m_application = addon.KavroApplication();
    m_database =
        FetchHostObject<IKavroDb>([&](IKavroDb** p) { return m_application->get_ActiveDb(p); });
    // The database's system is read and shown before the catalog is built.
    m_transformPage->Setup(TAddonImportTransformationHost(addon),
                           TImportTransformationSetupOrder::DatabaseReferenceFirst);
    m_source->clear();
    Guarded([this] { FillMaps(); });
    Guarded([this] { FillLayers(); });
    Guarded([this] { LayerChanged(); });
    RebuildColumnLists();
    ShowPage(kSourcePage);
}

void TTextImportForm::ShowPage(int page) {
    if (CurrentPage() == kParamsPage && page != kParamsPage)
        StoreSettings();
    const bool entering = page == kParamsPage && CurrentPage() != kParamsPage;
    TWizardDialog::ShowPage(page);
    if (entering)
        ApplySettings();
}

void TTextImportForm::UpdateButtons() {
    const int page = CurrentPage();
    PrevButton()->setEnabled(page != kSourcePage);
    NextButton()->setText(page == kImportPage ? QtText("Импорт") : QtText("Далее >"));
    const bool byClassifier =
        m_importType->currentIndex() == static_cast<int>(TTextImportMethod::RowsAsObjects);
    m_classifyField->setVisible(byClassifier);
    m_classifyLabel->setVisible(byClassifier);
}

void TTextImportForm::Next() {
    switch (CurrentPage()) {
    case kSourcePage:
        ReadSourceIntoTable();
        ShowPage(kParamsPage);
        break;
    case kParamsPage:
        TTextImportRun::CheckParameters(Inputs());
        ShowPage(kSemDataPage);
        ProposeFieldTargets();
        break;
    case kSemDataPage:
        ShowPage(kTransformPage);
        break;
    case kTransformPage:
        ShowPage(kImportPage);
        ShowRunPlan();
        break;
    case kImportPage:
        RunImport();
        break;
    default:
        break;
    }
}

TTextImportInputs TTextImportForm::Inputs() {
    TTextImportInputs inputs;
    inputs.table = m_table;
    inputs.columnNames = ColumnNames();
    if (m_xCoordField->currentIndex() >= 0)
        inputs.xColumnName = FromQString(m_xCoordField->currentText());
    if (m_yCoordField->currentIndex() >= 0)
        inputs.yColumnName = FromQString(m_yCoordField->currentText());
    inputs.classifierColumn = ClassifierColumn();
    inputs.styles = m_styles.Values();
    inputs.fields = m_fields.Values();
    inputs.mapID = m_mapsBox->SelectedId();
    inputs.layerID = m_layersBox->SelectedId();
    inputs.method = m_importType->currentIndex();
    inputs.replacedCharacters = m_importMode == TImportMode::Files ? m_replacedCharacters : 0;
    inputs.transformation = &m_transformPage->Transformation();
    inputs.progress = &m_progress;
    inputs.application = m_application.Get();
    return inputs;
}

void TTextImportForm::EnableNavigation(bool enabled) {
    TWizardDialog::EnableNavigation(enabled);
    // The run's stop button is the one control that works while it goes on.
    m_stopButton->setEnabled(!enabled);
    if (enabled)
        UpdateButtons();
}

void TTextImportForm::ShowRunPlan() {
    TTextRunNames names;
    names.map = FromQString(m_mapsBox->currentText());
    names.layer = FromQString(m_layersBox->currentText());
    for (int i = 0; i < m_styles.Count(); ++i)
        names.styles.push_back(FromQString(m_stylesGrid->CellText(i, 1)));
    m_runSummary->SetPlan(TextRunSummary(Inputs(), names));
    m_runSummary->ClearReport();
}

void TTextImportForm::ShowRunReport(const TImportReport& report) {
    m_runSummary->SetReport(ReportLines(report, {"объект", "объекта", "объектов"}));
}

void TTextImportForm::RunImport() {
    TTextImportInputs inputs = Inputs();
    // The page shows the report while the closing message is up.
    inputs.reportReady = [this](const TImportReport& report) {
        // Rows not imported take no step of the run's progress: a finished run fills the bar.
        if (!m_progress.Cancelled())
            m_progressBar->setValue(m_progressBar->maximum());
        ShowRunReport(report);
    };
    TTextImportRun run(std::move(inputs));
    m_runSummary->ClearReport();
    bool completed = false;
    RunBusy([&] {
        try {
            m_objectCount = run.Execute();
        } catch (const EImportStopped&) {
            m_objectCount = run.ObjectCount();
            // What a run stopped by the database did stays on the page beside its message.
            TImportReport report = run.Report();
            report.AddImported(m_objectCount - report.Imported());
            ShowRunReport(report);
            throw;
        } catch (...) {
            m_objectCount = run.ObjectCount();
            throw;
        }
        completed = !run.Cancelled();
    });
    // A cancelled run leaves the wizard open on its page, with what it kept committed.
    if (completed)
        accept();
}

void TTextImportForm::done(int result) {
    if (Running())
        return;
    // Whatever the result, the choices of page 1 are kept for the next time.
    if (m_settingsApplied)
        Guarded([this] { StoreSettings(); });
    TWizardDialog::done(result);
}
