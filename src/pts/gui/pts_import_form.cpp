// The PTS import wizard: its two pages and buttons, the file, style, table and field choices,
// and the run.
#include "pts/gui/pts_import_form.h"

#include "addon/custom_addon.h"
#include "addon/gui/project_tree_form.h"
#include "addon/import_transformation_host.h"
#include "addon/style_queries.h"
#include "coords/gui/import_transformation_page.h"
#include "host_api/host_errors.h"
#include "import/preview_lines.h"
#include "platform/exception.h"
#include "platform/gui/qt_text.h"
#include "pts/pts_import_run.h"
#include "ui/screen_scale.h"
#include "ui/user_interaction.h"
#include "ui/wizard_layout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

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

    m_pages = Named(new QStackedWidget(this), "PageControl");
    m_pages->addWidget(BuildSettingsPage());
    m_transformPage = new TImportTransformationPage(m_pages);
    m_transformPage->setObjectName(QStringLiteral("TransformationTabSheet"));
    m_pages->addWidget(m_transformPage);

    m_prev = MakeButton("PrevButton", "< Назад", this);
    m_next = MakeButton("NextButton", "Далее >", this);
    m_next->setDefault(true);
    m_cancel = MakeButton("Cancel", "Выход", this);

    LayOutWizard(*this, m_pages, m_prev, m_next, m_cancel);

    Connect();
    ShowPage(kSettingsPage);
    // A fixed border: the size that both pages need, not less than the usual one.
    setFixedSize(sizeHint().expandedTo(ScreenScaled(QSize(640, 460), this)));
}

TPtsImportForm::~TPtsImportForm() = default;

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
    connect(m_prev, &QPushButton::clicked, this, [this] { Guarded([this] { Prev(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { Guarded([this] { Next(); }); });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_fileButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ChooseFile(); }); });
    connect(m_layerStyleButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { ChooseStyle(); }); });
    // The user's pick of a table, also of the one already selected; the wizard's own changes of
    // the selection fill the field lists themselves.
    connect(m_tableBox, &QComboBox::activated, this,
            [this] { Guarded([this] { FillFieldLists(); }); });
}

void TPtsImportForm::Setup(TQmCustomAddon& addon) {
    m_addon = &addon;
    m_application = addon.KavroApplication();
    m_database =
        FetchHostObject<IKavroDb>([&](IKavroDb** p) { return m_application->get_ActiveDb(p); });
    m_transformPage->Setup(TAddonImportTransformationHost(addon),
                           TImportTransformationSetupOrder::CatalogFirst);
}

int TPtsImportForm::CurrentPage() const {
    return m_pages->currentIndex();
}

std::filesystem::path TPtsImportForm::FileName() const {
    return std::filesystem::path(m_fileEdit->text().toStdU16String());
}

void TPtsImportForm::Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        UserInteraction().ShowError(ExceptionMessage(e));
    }
}

void TPtsImportForm::ShowPage(int page) {
    m_pages->setCurrentIndex(page);
    UpdateButtons();
}

void TPtsImportForm::UpdateButtons() {
    const bool last = CurrentPage() == kTransformationPage;
    m_prev->setVisible(last);
    m_next->setText(last ? QtText("Импорт") : QtText("Далее >"));
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
}

void TPtsImportForm::Prev() {
    ShowPage(kSettingsPage);
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
    const bool previewed = PreviewPtsFile(file, lines);
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.lines.size()));
    for (const AnsiString& line : lines.lines)
        text << ToQString(line);
    m_memo->setPlainText(text.join(QLatin1Char('\n')));
    if (!previewed)
        m_fileEdit->clear();
}

void TPtsImportForm::ChooseStyle() {
    AnsiString styleId = m_styleId;
    if (!SelectInProjectTree(*m_addon, Ansi("Выбор стиля"), TProjectNodeKind::Style, styleId, this))
        return;
    const AnsiString layerId = GetStyleLayerID(*m_addon, styleId);
    // Everything is read before anything changes: a layer without a table, or a host failure,
    // leaves the previous choice in force, as the page still shows it.
    std::vector<TTableChoice> tables = ReadLayerTableChoices(*m_addon, layerId);
    const TFieldChoices fields = ReadFieldChoices(*m_database.Get(), tables.front().info.Id);

    m_styleId = styleId;
    m_layerId = layerId;
    m_tableBox->clear();
    m_tables.clear();
    for (TTableChoice& table : tables) {
        m_tableBox->addItem(ToQString(table.text));
        m_tables.push_back(std::move(table.info));
    }
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
    TFieldChoices fields;
    try {
        fields = ReadFieldChoices(*m_database.Get(), m_tables[static_cast<std::size_t>(table)].Id);
    } catch (...) {
        // No field of another table stays on offer.
        m_numberBox->clear();
        m_commentBox->clear();
        throw;
    }
    FillList(*m_numberBox, fields.numberFields);
    FillList(*m_commentBox, fields.commentFields);
}

void TPtsImportForm::FillList(QComboBox& box, const std::vector<AnsiString>& names) {
    std::optional<AnsiString> previous;
    if (box.currentIndex() >= 0)
        previous = FromQString(box.currentText());
    box.clear();
    for (const AnsiString& name : names)
        box.addItem(ToQString(name));
    box.setCurrentIndex(ReselectIndex(names, previous));
}

void TPtsImportForm::EnableNavigation(bool enabled) {
    for (QPushButton* button : {m_prev, m_next, m_cancel})
        button->setEnabled(enabled);
}

void TPtsImportForm::RunImport() {
    if (Running())
        return;
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
    settings.tableId = m_tables[static_cast<std::size_t>(table)].Id;
    settings.numberField = FromQString(m_numberBox->currentText());
    if (m_commentBox->currentIndex() >= 0)
        settings.commentField = FromQString(m_commentBox->currentText());

    SetRunning(true);
    EnableNavigation(false);
    struct TRunEnd {
        TPtsImportForm& form;
        ~TRunEnd() {
            form.SetRunning(false);
            form.EnableNavigation(true);
        }
    } runEnd{*this};
    RunPtsImport(settings);
}
