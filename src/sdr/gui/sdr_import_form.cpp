// The SDR import wizard: its two pages and buttons, the style and field lists, the files with
// their preview, and the import run.
#include "sdr/gui/sdr_import_form.h"

#include "addon/custom_addon.h"
#include "addon/gui/project_tree_form.h"
#include "addon/import_transformation_host.h"
#include "addon/layer_tables.h"
#include "addon/style_queries.h"
#include "coords/gui/import_transformation_page.h"
#include "host_api/field_types.h"
#include "host_api/host_errors.h"
#include "import/run_summary.h"
#include "platform/gui/qt_text.h"
#include "sdr/gui/memo_lines.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/gui/long_operation_form.h"
#include "ui/gui/run_summary_panel.h"
#include "ui/gui/screen_scale.h"
#include "ui/gui/wizard_layout.h"
#include "ui/user_interaction.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStringList>
#include <QVBoxLayout>

using namespace SDRImporter;

namespace {

const char* const kNotImported = "<Не импортировать>";

// The list's display is held still while it is refilled.
class TUpdatesSuspended {
public:
    explicit TUpdatesSuspended(QWidget& widget) : m_widget(widget), m_signals(&widget) {
        m_widget.setUpdatesEnabled(false);
    }
    ~TUpdatesSuspended() { m_widget.setUpdatesEnabled(true); }
    TUpdatesSuspended(const TUpdatesSuspended&) = delete;
    TUpdatesSuspended& operator=(const TUpdatesSuspended&) = delete;

private:
    QWidget& m_widget;
    QSignalBlocker m_signals;
};

// OLE dates count days from 1899-12-30.
DATE OleDate(const QDate& date) {
    return static_cast<DATE>(QDate(1899, 12, 30).daysTo(date));
}

} // namespace

TSdrImportForm::TSdrImportForm(QWidget* parent) : TWizardDialog(parent) {
    setObjectName(QStringLiteral("SdrImportForm"));
    setWindowTitle(QtText("Импорт SDR файла (-ов)"));
    setSizeGripEnabled(true);
    setMinimumSize(ScreenScaled(QSize(560, 420), this));

    BuildFrame({"PrevButton", "NextButton", "Cancel", "Закрыть"});
    AddPage(BuildSettingsPage());
    m_transformPage = new TImportTransformationPage(Pages());
    m_transformPage->setObjectName(QStringLiteral("TransformationTabSheet"));
    AddPage(m_transformPage);
    // Under the transformation: what the run will do and, after it, what it did.
    m_runSummary = new TRunSummaryPanel(m_transformPage);
    m_transformPage->layout()->addWidget(m_runSummary);

    m_log = std::make_unique<TMemoLines>(*m_previewMemo);
    m_settings.transformation = &m_transformPage->Transformation();
    // The import run shows the module's progress window on Qt widgets.
    UseQtLongOperationWindow();

    Connect();
    ShowPage(kSettingsPage);
    // The read-only boxes take the focus only when the user goes there.
    m_styleButton->setFocus();
    resize(ScreenScaled(QSize(760, 580), this));
}

TSdrImportForm::~TSdrImportForm() {
    // The page outlives this wizard's members; it must not report to them.
    m_transformPage->onChanged = nullptr;
}

QWidget* TSdrImportForm::BuildSettingsPage() {
    auto* page = Named(new QWidget, "SettingsTabSheet");

    m_layerEdit = Named(new QLineEdit(page), "LayerEdit");
    m_layerEdit->setReadOnly(true);
    m_styleButton = MakeButton("StyleButton", "Выбрать стиль ...", page);

    m_filesEdit = Named(new QPlainTextEdit(page), "FilesEdit");
    m_filesEdit->setReadOnly(true);
    m_filesEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_filesEdit->setTabChangesFocus(true);
    // Six whole names are visible at once, above a scroll bar that is always there (one that
    // came and went with long names left a line and a half uncovered or cut); more scroll. The
    // edit scrolls unless a pixel stays free below the last line.
    m_filesEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_filesEdit->setFixedHeight(6 * m_filesEdit->fontMetrics().lineSpacing() + 1 +
                                2 * m_filesEdit->frameWidth() +
                                static_cast<int>(2 * m_filesEdit->document()->documentMargin()) +
                                m_filesEdit->horizontalScrollBar()->sizeHint().height());
    m_selectFileButton = MakeButton("SelectFileButton", "Обзор ...", page);
    // Off at every start: the wizard keeps nothing between uses.
    m_reduceBox = Named(new QCheckBox(QtText("Вычислять координаты по измерениям"), page),
                        "ReduceObservationsCheckBox");

    m_tableBox = Named(new TIdCaptionComboBox(page), "TableComboBox");
    m_numberBox = Named(new TIdCaptionComboBox(page), "NumberComboBox");
    m_heightBox = Named(new TIdCaptionComboBox(page), "ZCoordComboBox");
    m_dateBox = Named(new TIdCaptionComboBox(page), "DataTimeComboBox");
    for (TIdCaptionComboBox* box : {m_tableBox, m_numberBox, m_heightBox, m_dateBox})
        box->setMaxVisibleItems(20);

    m_precisionEdit = Named(new QSpinBox(page), "PrecisionEdit");
    m_precisionEdit->setRange(1, 15);
    m_precisionEdit->setValue(2);
    m_importDate = Named(new QDateEdit(QDate::currentDate(), page), "ImportDateTime");
    m_importDate->setCalendarPopup(true);
    // The calendar's month and day names are the widget's locale's, not the translation's.
    m_importDate->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    m_importDate->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));

    m_previewMemo = Named(new QPlainTextEdit(page), "PreviewMemo");
    m_previewMemo->setReadOnly(true);
    m_previewMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_previewMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_previewMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_previewMemo->setTabChangesFocus(true);

    // Labels on the left, the lists across; the buttons, the precision and the date share the
    // right-hand column so that their edges line up.
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(MakeLabel("Слой / стиль:", m_styleButton, page), row, 0);
    grid->addWidget(m_layerEdit, row, 1, 1, 2);
    grid->addWidget(m_styleButton, row++, 3);
    grid->addWidget(MakeLabel("Файл(-ы):", m_selectFileButton, page), row, 0,
                    Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(m_filesEdit, row, 1, 1, 2);
    grid->addWidget(m_selectFileButton, row++, 3, Qt::AlignTop);
    grid->addWidget(m_reduceBox, row++, 1, 1, 3);
    grid->addWidget(MakeLabel("Таблица данных:", m_tableBox, page), row, 0);
    grid->addWidget(m_tableBox, row++, 1, 1, 3);
    grid->addWidget(MakeLabel("Поле для номера:", m_numberBox, page), row, 0);
    grid->addWidget(m_numberBox, row++, 1, 1, 3);
    grid->addWidget(MakeLabel("Поле для высоты:", m_heightBox, page), row, 0);
    grid->addWidget(m_heightBox, row, 1);
    grid->addWidget(MakeLabel("Точность:", m_precisionEdit, page), row, 2, Qt::AlignRight);
    grid->addWidget(m_precisionEdit, row++, 3);
    grid->addWidget(MakeLabel("Поле для даты:", m_dateBox, page), row, 0);
    grid->addWidget(m_dateBox, row, 1);
    grid->addWidget(MakeLabel("Дата импорта:", m_importDate, page), row, 2, Qt::AlignRight);
    grid->addWidget(m_importDate, row++, 3);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addSpacing(ScreenScaled(4, this));
    layout->addWidget(MakeLabel("Предварительный просмотр:", m_previewMemo, page));
    layout->addWidget(m_previewMemo, 1);
    return page;
}

void TSdrImportForm::Connect() {
    m_transformPage->onChanged = [this] { Guarded([this] { ShowRunPlan(); }); };
    OnSignal(m_styleButton, &QPushButton::clicked, &TSdrImportForm::ChooseStyle);
    OnSignal(m_selectFileButton, &QPushButton::clicked, &TSdrImportForm::ChooseFiles);
    OnSignal(m_reduceBox, &QCheckBox::toggled, &TSdrImportForm::ReduceObservationsChanged);
    // The user's choice of a table, also of the one already selected; the wizard's own
    // refills of the list refill the fields themselves.
    OnSignal(m_tableBox, &QComboBox::activated, &TSdrImportForm::FillFieldLists);
}

void TSdrImportForm::Setup(TQmCustomAddon& addon) {
    m_addon = &addon;
    m_settings.application = addon.KavroApplication();
    m_settings.database = FetchHostObject<IKavroDb>(
        [&](IKavroDb** p) { return m_settings.application->get_ActiveDb(p); });
    m_transformPage->Setup(TAddonImportTransformationHost(addon),
                           TImportTransformationSetupOrder::CatalogFirst);
    ShowPage(kSettingsPage);
}

SDRImporter::TSdrImportParams TSdrImportForm::Parameters() const {
    TSdrImportParams params;
    params.LayerId = AnsiToWide(m_layerId);
    params.StyleId = AnsiToWide(m_styleId);
    params.TableId = AnsiToWide(m_tableBox->SelectedId());
    params.NumberField = AnsiToWide(m_numberBox->SelectedId());
    params.HeightField = AnsiToWide(m_heightBox->SelectedId());
    params.Precision = m_precisionEdit->value();
    params.DateField = AnsiToWide(m_dateBox->SelectedId());
    params.ImportDate = OleDate(m_importDate->date());
    return params;
}

bool TSdrImportForm::CheckSettings() {
    const AnsiString problem =
        CheckSdrFirstPage(!m_filesEdit->toPlainText().isEmpty(), m_layerId, m_settings.files);
    if (!problem.empty())
        UserInteraction().ShowMessage(problem);
    return problem.empty();
}

void TSdrImportForm::Next() {
    if (CurrentPage() == kSettingsPage) {
        if (CheckSettings()) {
            ShowPage(kTransformationPage);
            m_runSummary->ClearReport();
            ShowRunPlan();
        }
    } else {
        RunImport();
    }
}

void TSdrImportForm::ChooseStyle() {
    if (!m_addon)
        return;
    if (!SelectInProjectTree(*m_addon, Ansi("Выбор стиля"), TProjectNodeKind::Style, m_styleId,
                             this))
        return;
    m_layerId = GetStyleLayerID(*m_addon, m_styleId);
    m_layerEdit->setText(ToQString(GetLayerCaption(*m_addon, m_layerId, {}) + " / " +
                                   GetStyleCaption(*m_addon, m_styleId, {})));
    m_layerEdit->setCursorPosition(0);
    Guarded([this] { FillTables(); });
    Guarded([this] { FillFieldLists(); });
}

void TSdrImportForm::FillTables() {
    struct TSelectFirst {
        TIdCaptionComboBox& box;
        ~TSelectFirst() {
            if (box.currentIndex() < 0 && box.count() > 0)
                box.setCurrentIndex(0);
        }
    };
    const TUpdatesSuspended suspended(*m_tableBox);
    m_tableBox->ClearItems();
    const TSelectFirst selectFirst{*m_tableBox};
    // A choice that is no style (the chooser gives an empty identifier) names no layer.
    if (m_layerId.empty() || !m_settings.database)
        return;
    for (const TTableChoice& table : LayerTableChoices(*m_settings.database.Get(), m_layerId))
        m_tableBox->AddItem(table.id, table.name);
}

void TSdrImportForm::FillFieldLists() {
    const AnsiString tableId = m_tableBox->SelectedId();
    if (tableId.empty() || !m_settings.database) {
        for (TIdCaptionComboBox* box : {m_numberBox, m_heightBox, m_dateBox}) {
            const TUpdatesSuspended suspended(*box);
            box->ClearItems();
        }
        return;
    }
    const TComPtr<IKavroSemTable> table = AttributeTable(*m_settings.database.Get(), tableId);
    FillFieldList(*m_numberBox, *table.Get(), FieldType::kNumberTargets);
    FillFieldList(*m_heightBox, *table.Get(), FieldType::kNumberTargets);
    FillFieldList(*m_dateBox, *table.Get(), FieldType::kDateTargets);
}

void TSdrImportForm::FillFieldList(TIdCaptionComboBox& box, IKavroSemTable& table,
                                   std::span<const std::int32_t> types) {
    // The field chosen before stays chosen when the new table has one of that name; also when
    // reading the table fails part way, among the fields read.
    struct TReselect {
        TIdCaptionComboBox& box;
        AnsiString value;
        ~TReselect() {
            if (!box.SelectId(value))
                box.setCurrentIndex(box.count() > 0 ? 0 : -1);
        }
    };
    const TUpdatesSuspended suspended(box);
    const TReselect reselect{box, box.SelectedId()};
    box.ClearItems();
    box.AddItem({}, Ansi(kNotImported));
    std::vector<AnsiString> names;
    std::exception_ptr failure;
    try {
        AppendFieldsOfTypes(table, types, names);
    } catch (...) {
        failure = std::current_exception();
    }
    // The host gives a field no display text of its own: its name is the caption too.
    for (const AnsiString& name : names)
        box.AddItem(name, name);
    if (failure)
        std::rethrow_exception(failure);
}

void TSdrImportForm::ChooseFiles() {
    TOpenFileOptions options;
    options.title = Ansi("Выбор файлов съемки");
    // Every survey kind at once first: a survey often comes as SDR files with an RPT or a GSI
    // file beside them.
    options.filter = Ansi("Файлы съемки (*.sdr, *.rpt, *.gsi)|*.sdr;*.rpt;*.gsi|"
                          "Файлы SDR (*.sdr)|*.sdr|Файлы RPT (*.rpt)|*.rpt|"
                          "Файлы Leica GSI (*.gsi)|*.gsi|Все файлы (*.*)|*.*");
    options.defaultExtension = "sdr";
    options.multiSelect = true;
    std::vector<std::filesystem::path> files = UserInteraction().OpenFiles(options);
    if (files.empty())
        return;
    Preview(std::move(files));
}

void TSdrImportForm::Preview(std::vector<std::filesystem::path> files) {
    m_settings.files = std::move(files);
    RunBusy([this] {
        try {
            m_outcome = RunSdrPreview(m_settings, *m_log);
            // The files that failed are not imported; their reasons stay in the preview.
            std::erase_if(m_settings.files, [this](const std::filesystem::path& f) {
                return m_outcome.errors.Contains(f);
            });
            // The preview is read from its first file on.
            m_previewMemo->moveCursor(QTextCursor::Start);
            m_previewMemo->ensureCursorVisible();
        } catch (...) {
            // A transformation that cannot be prepared lists no point; the files stay chosen.
            ShowFiles();
            throw;
        }
        ShowFiles();
    });
}

void TSdrImportForm::ReduceObservationsChanged() {
    m_settings.reading.ReduceObservations = m_reduceBox->isChecked();
    if (!m_settings.files.empty())
        Preview(m_settings.files);
}

void TSdrImportForm::ShowFiles() {
    // One name a line; no empty line after the last, which the box would show as a fourth.
    QStringList names;
    for (const std::filesystem::path& file : m_settings.files)
        names << QString::fromStdU16String(file.u16string());
    m_filesEdit->setPlainText(names.join(QLatin1Char('\n')));
}

TSdrRunSettings TSdrImportForm::RunSettings() const {
    TSdrRunSettings settings = m_settings;
    settings.params = Parameters();
    return settings;
}

void TSdrImportForm::ShowRunPlan() {
    if (CurrentPage() != kTransformationPage || !m_addon)
        return;
    TRunTargetNames names;
    names.layer = GetLayerCaption(*m_addon, m_layerId, {});
    names.style = GetStyleCaption(*m_addon, m_styleId, {});
    names.table = FromQString(m_tableBox->currentText());
    m_runSummary->SetPlan(SdrRunSummary(RunSettings(), names));
}

void TSdrImportForm::RunImport() {
    m_runSummary->ClearReport();
    RunBusy([this] { m_outcome = RunSdrImport(RunSettings(), *m_log, LongOperations()); });
    m_runSummary->SetReport(ReportLines(m_outcome.report, {"точка", "точки", "точек"}));
}

void TSdrImportForm::EnableNavigation(bool enabled) {
    TWizardDialog::EnableNavigation(enabled);
    for (QPushButton* button : {m_styleButton, m_selectFileButton})
        button->setEnabled(enabled);
    m_reduceBox->setEnabled(enabled);
    // The run converts every file's points with the transformation prepared at its start; the
    // page stays as it was until the run ends.
    m_transformPage->setEnabled(enabled);
}
