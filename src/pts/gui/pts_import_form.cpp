// The PTS import wizard: its two pages and buttons, the file, style, table and field choices,
// and the run.
#include "pts/gui/pts_import_form.h"

#include "addon/custom_addon.h"
#include "addon/gui/project_tree_form.h"
#include "addon/import_transformation_host.h"
#include "addon/layer_tables.h"
#include "addon/style_queries.h"
#include "coords/gui/import_transformation_page.h"
#include "host_api/field_types.h"
#include "host_api/host_errors.h"
#include "import/preview_lines.h"
#include "import/run_summary.h"
#include "platform/exception.h"
#include "platform/gui/qt_text.h"
#include "pts/pts_import_run.h"
#include "ui/gui/run_summary_panel.h"
#include "ui/gui/screen_scale.h"
#include "ui/gui/wizard_layout.h"
#include "ui/user_interaction.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

using namespace PtsImportForms;

namespace {

QComboBox* MakeList(const char* name, QWidget* parent) {
    auto* box = Named(new QComboBox(parent), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(16);
    box->setMaxVisibleItems(20);
    return box;
}

} // namespace

TPtsImportForm::TPtsImportForm(QWidget* parent) : TWizardDialog(parent) {
    setObjectName(QStringLiteral("PtsImportForm"));
    setWindowTitle(QtText("Импорт PTS файла"));

    BuildFrame({"PrevButton", "NextButton", "Cancel", "Выход"});
    AddPage(BuildSettingsPage());
    m_transformPage = new TImportTransformationPage(Pages());
    m_transformPage->setObjectName(QStringLiteral("TransformationTabSheet"));
    AddPage(m_transformPage);
    // Under the transformation: what the run will do and, after it, what it did.
    m_runSummary = new TRunSummaryPanel(m_transformPage);
    m_transformPage->layout()->addWidget(m_runSummary);

    Connect();
    ShowPage(kSettingsPage);
    // A fixed border: the size that both pages need, not less than the usual one.
    // The last page holds the run's summary under the transformation's buttons.
    setFixedSize(sizeHint().expandedTo(ScreenScaled(QSize(640, 560), this)));
}

TPtsImportForm::~TPtsImportForm() {
    // The page outlives this wizard's members; it must not report to them.
    m_transformPage->onChanged = nullptr;
}

QWidget* TPtsImportForm::BuildSettingsPage() {
    auto* page = Named(new QWidget, "SettingsTabSheet");

    m_fileEdit = Named(new QLineEdit(page), "ImportFileNameEdit");
    m_fileEdit->setReadOnly(true);
    m_fileButton = MakeButton("ImportFileButton", "...", page);
    m_layerEdit = Named(new QLineEdit(page), "LayerEdit");
    m_layerEdit->setReadOnly(true);
    m_layerStyleButton = MakeButton("LayerStyleButton", "...", page);
    for (QPushButton* button : {m_fileButton, m_layerStyleButton})
        button->setFixedWidth(ScreenScaled(28, this));
    // The two read-only edits are filled by their buttons: Tab goes to the buttons.
    for (QLineEdit* edit : {m_fileEdit, m_layerEdit})
        edit->setFocusPolicy(Qt::ClickFocus);
    m_tableBox = MakeList("TableComboBox", page);
    m_numberBox = MakeList("NumberComboBox", page);
    m_commentBox = MakeList("CommentComboBox", page);
    m_memo = Named(new QPlainTextEdit(page), "Memo1");
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const char* caption, QWidget* control, QWidget* button) {
        auto* label = new QLabel(QtText(caption), page);
        label->setBuddy(control);
        grid->addWidget(label, row, 0);
        if (button) {
            grid->addWidget(control, row, 1);
            grid->addWidget(button, row, 2);
        } else {
            grid->addWidget(control, row, 1, 1, 2);
        }
    };
    addRow(0, "Импортируемый файл:", m_fileEdit, m_fileButton);
    addRow(1, "Слой / стиль:", m_layerEdit, m_layerStyleButton);
    addRow(2, "Таблица:", m_tableBox, nullptr);
    addRow(3, "Номер:", m_numberBox, nullptr);
    addRow(4, "Коментарий", m_commentBox, nullptr);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addWidget(m_memo, 1);
    return page;
}

void TPtsImportForm::Connect() {
    m_transformPage->onChanged = [this] { Guarded([this] { ShowRunPlan(); }); };
    OnSignal(m_fileButton, &QPushButton::clicked, &TPtsImportForm::ChooseFile);
    OnSignal(m_layerStyleButton, &QPushButton::clicked, &TPtsImportForm::ChooseStyle);
    // The user's pick of a table, also of the one already selected; the wizard's own changes of
    // the selection fill the field lists themselves.
    OnSignal(m_tableBox, &QComboBox::activated, &TPtsImportForm::FillFieldLists);
}

void TPtsImportForm::Setup(TQmCustomAddon& addon) {
    m_addon = &addon;
    m_application = addon.KavroApplication();
    m_database =
        FetchHostObject<IKavroDb>([&](IKavroDb** p) { return m_application->get_ActiveDb(p); });
    m_transformPage->Setup(TAddonImportTransformationHost(addon),
                           TImportTransformationSetupOrder::CatalogFirst);
}

std::filesystem::path TPtsImportForm::FileName() const {
    return std::filesystem::path(m_fileEdit->text().toStdU16String());
}

void TPtsImportForm::Next() {
    if (CurrentPage() == kTransformationPage) {
        RunImport();
        return;
    }
    const AnsiString problem = CheckPtsFirstPage(FileName(), m_layerId);
    if (!problem.empty()) {
        UserInteraction().ShowMessage(problem);
        return;
    }
    ShowPage(kTransformationPage);
    m_runSummary->ClearReport();
    ShowRunPlan();
}

void TPtsImportForm::ChooseFile() {
    TOpenFileOptions options;
    options.title = Ansi("Открыть файл");
    options.filter = Ansi("Файлы PTS (*.pts)|*.pts|Любые файлы (*.*)|*.*");
    options.defaultExtension = "*.pts";
    const std::vector<std::filesystem::path> files = UserInteraction().OpenFiles(options);
    if (files.empty())
        return;
    const std::filesystem::path& file = files.front();
    m_fileEdit->setText(QString::fromStdU16String(file.u16string()));
    // The lines listed before a failure stay in the memo; the edit is the only record of the
    // file, so a file that does not preview is not chosen.
    TStringLines lines;
    const std::optional<AnsiString> problem = PreviewPtsFile(file, lines);
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.lines.size()) + 1);
    for (const AnsiString& line : lines.lines)
        text << ToQString(line);
    // The file stays chosen: the reason it does not read is the memo's last line, below the
    // points read before it.
    if (problem)
        text << ToQString(Ansi("Ошибка: ") + *problem);
    m_memo->setPlainText(text.join(QLatin1Char('\n')));
}

void TPtsImportForm::ChooseStyle() {
    AnsiString styleId = m_styleId;
    if (!SelectInProjectTree(*m_addon, Ansi("Выбор стиля"), TProjectNodeKind::Style, styleId, this))
        return;
    const AnsiString layerId = GetStyleLayerID(*m_addon, styleId);
    // Everything is read before anything changes: a layer without a table, or a host failure,
    // leaves the previous choice in force, as the page still shows it.
    std::vector<TTableChoice> tables = LayerTableChoices(*m_database.Get(), layerId);
    if (tables.empty())
        throw EUserError(Ansi("семантическая таблица не найдена"));
    const TPtsFieldChoices fields = ReadFieldChoices(tables.front().id);

    m_styleId = styleId;
    m_layerId = layerId;
    m_tableBox->clear();
    for (const TTableChoice& table : tables)
        m_tableBox->addItem(ToQString(table.name));
    m_tables = std::move(tables);
    m_tableBox->setCurrentIndex(0);
    FillList(*m_numberBox, fields.numberFields);
    FillList(*m_commentBox, fields.commentFields);
    m_layerEdit->setText(ToQString(GetLayerCaption(*m_addon, m_layerId, "") + " / " +
                                   GetStyleCaption(*m_addon, m_styleId, "")));
}

void TPtsImportForm::FillFieldLists() {
    const int table = m_tableBox->currentIndex();
    if (table < 0 || table >= static_cast<int>(m_tables.size()))
        return;
    TPtsFieldChoices fields;
    try {
        fields = ReadFieldChoices(m_tables[static_cast<std::size_t>(table)].id);
    } catch (...) {
        // No field of another table stays on offer.
        m_numberBox->clear();
        m_commentBox->clear();
        throw;
    }
    FillList(*m_numberBox, fields.numberFields);
    FillList(*m_commentBox, fields.commentFields);
}

TPtsImportForm::TPtsFieldChoices TPtsImportForm::ReadFieldChoices(const AnsiString& tableId) const {
    const TComPtr<IKavroSemTable> table = AttributeTable(*m_database.Get(), tableId);
    return {FieldsOfTypes(*table.Get(), FieldType::kNumberTargets),
            FieldsOfTypes(*table.Get(), FieldType::kTextTargets)};
}

void TPtsImportForm::FillList(QComboBox& box, const std::vector<AnsiString>& names) {
    // The name selected before stays selected where the new list has it, else the first.
    std::optional<AnsiString> previous;
    if (box.currentIndex() >= 0)
        previous = FromQString(box.currentText());
    box.clear();
    for (const AnsiString& name : names)
        box.addItem(ToQString(name));
    int index = names.empty() ? -1 : 0;
    if (previous)
        if (const auto found = std::find(names.begin(), names.end(), *previous);
            found != names.end())
            index = static_cast<int>(found - names.begin());
    box.setCurrentIndex(index);
}

TPtsImportSettings TPtsImportForm::Settings() {
    TPtsImportSettings settings;
    settings.application = m_application;
    settings.database = m_database;
    settings.transformation = &m_transformPage->Transformation();
    settings.fileName = FileName();
    settings.layerId = m_layerId;
    settings.styleId = m_styleId;
    const int table = m_tableBox->currentIndex();
    if (table < 0 || table >= static_cast<int>(m_tables.size()))
        throw EUserError("List index out of bounds (" + std::to_string(table) + ")");
    settings.tableId = m_tables[static_cast<std::size_t>(table)].id;
    settings.numberField = FromQString(m_numberBox->currentText());
    if (m_commentBox->currentIndex() >= 0)
        settings.commentField = FromQString(m_commentBox->currentText());
    return settings;
}

void TPtsImportForm::ShowRunPlan() {
    if (CurrentPage() != kTransformationPage)
        return;
    TRunTargetNames names;
    names.layer = GetLayerCaption(*m_addon, m_layerId, "");
    names.style = GetStyleCaption(*m_addon, m_styleId, "");
    names.table = FromQString(m_tableBox->currentText());
    m_runSummary->SetPlan(PtsRunSummary(Settings(), names));
}

void TPtsImportForm::RunImport() {
    const TPtsImportSettings settings = Settings();
    m_runSummary->ClearReport();
    TImportReport report;
    RunBusy([&] { report = RunPtsImport(settings); });
    m_runSummary->SetReport(ReportLines(report, {"точка", "точки", "точек"}));
}
