// The text import wizard on the demo project, page by page, as a user leaves it before pressing
// "Далее >": the sample control points pasted (or two files listed), the columns named, map,
// layer and a style per kind chosen, the attribute targets, WGS 84 as the source system, and
// the import page; and the memo's context menu.
#include "coords/gui/import_transformation_page.h"
#include "platform/gui/qt_text.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"
#include "support/form_steps.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>

#include <fstream>
#include <sstream>

namespace {

void Click(QWidget& root, const char* name) {
    Find<QAbstractButton>(root, name)->click();
}

// Picks the entry with the caption from the pick list of the grid's row: the list opens once
// and is dismissed, which tells its entries, then opens again and the entry is chosen.
void Pick(TScriptedInteraction& ui, QWidget& form, const char* gridName, int row,
          const char* utf8) {
    auto* grid = Find<TArrowGrid>(form, gridName);
    grid->SelectRow(row);
    ui.pickAnswers.clear();
    ui.pickListRequests.clear();
    grid->onChoose(row);
    const std::vector<AnsiString>& items = ui.pickListRequests.back().items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == Ansi(utf8)) {
            ui.pickAnswers.push_back(static_cast<int>(i));
            grid->onChoose(row);
            return;
        }
    }
    throw std::runtime_error(std::string("no pick list entry ") + utf8);
}

std::string SamplePoints(const TScreenContext& context) {
    std::ifstream file(std::filesystem::path(context.sourceDir) / "samples" / "points.csv",
                       std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The wizard with the sample pasted, on the source page.
std::unique_ptr<TTextImportForm> Wizard(const TScreenContext& context) {
    auto form = std::make_unique<TTextImportForm>();
    form->Setup(DemoAddon(context));
    QApplication::clipboard()->setText(ToQString(SamplePoints(context)));
    Click(*form, "SrcPaste");
    return form;
}

// On to the parameters page, with the choices a user makes for the sample.
void FillParameters(TTextImportForm& form, TScriptedInteraction& ui) {
    Click(form, "Next");
    Find<QComboBox>(form, "ComboBoxImportType")->setCurrentIndex(2);
    Choose(form, "Maps", "Топографическая карта");
    Choose(form, "SimpleComboBoxLayers", "Геодезические пункты");
    Choose(form, "XCoordField", "Долгота");
    Choose(form, "YCoordField", "Широта");
    Choose(form, "ClassifyField", "Вид");
    Pick(ui, form, "ImportStylesGrid", 0, "Пикет");
    Pick(ui, form, "ImportStylesGrid", 1, "Пункт ГГС");
    Pick(ui, form, "ImportStylesGrid", 2, "Репер");
    Find<TArrowGrid>(form, "ImportStylesGrid")->SelectRow(1);
}

void FillFields(TTextImportForm& form, TScriptedInteraction& ui) {
    Click(form, "Next");
    const std::pair<int, const char*> targets[] = {
        {0, "Пункты.NUMBER"},    {1, "Пункты.NAME"},    {5, "Пункты.HEIGHT"},   {6, "Пункты.CLASS"},
        {7, "Пункты.CENTRE"},    {8, "Пункты.MARKS"},   {9, "Пункты.ACCURACY"}, {10, "Пункты.LAID"},
        {11, "Пункты.SURVEYED"}, {12, "Пункты.CHECKED"}};
    for (const auto& [row, target] : targets)
        Pick(ui, form, "ImportFieldsGrid", row, target);
    Find<TArrowGrid>(form, "ImportFieldsGrid")->SelectRow(5);
}

void FillTransformation(TTextImportForm& form) {
    Click(form, "Next");
    TImportTransformationPage& page = form.TransformationPage();
    Find<QComboBox>(page, "TransformationTypeComboBox")->setCurrentIndex(1);
    for (const auto& reference : page.Catalog().References())
        if (reference->GetCaption() == "WGS 84") {
            page.ShowSource(reference->Def());
            return;
        }
    throw std::runtime_error("WGS 84 is not in the catalog");
}

std::unique_ptr<QWidget> SourcePage(const TScreenContext& context) {
    return Wizard(context);
}

std::unique_ptr<QWidget> FilesPage(const TScreenContext& context) {
    TScriptedInteraction ui;
    auto form = Wizard(context);
    const std::filesystem::path folder = "/home/geodesist/Съемка/2024-05-14";
    ui.fileAnswers.push_back(
        {folder / "Пункты ГГС и реперы.csv", folder / "Пикеты оси проезда.txt"});
    Click(*form, "SrcOpen");
    Find<QComboBox>(*form, "CodePageComboBox")->setCurrentIndex(1);
    return form;
}

std::unique_ptr<QWidget> ParamsPage(const TScreenContext& context) {
    TScriptedInteraction ui;
    auto form = Wizard(context);
    FillParameters(*form, ui);
    return form;
}

std::unique_ptr<QWidget> FieldsPage(const TScreenContext& context) {
    TScriptedInteraction ui;
    auto form = Wizard(context);
    FillParameters(*form, ui);
    FillFields(*form, ui);
    return form;
}

std::unique_ptr<QWidget> TransformationPage(const TScreenContext& context) {
    TScriptedInteraction ui;
    auto form = Wizard(context);
    FillParameters(*form, ui);
    FillFields(*form, ui);
    FillTransformation(*form);
    return form;
}

std::unique_ptr<QWidget> ImportPage(const TScreenContext& context) {
    TScriptedInteraction ui;
    auto form = Wizard(context);
    FillParameters(*form, ui);
    FillFields(*form, ui);
    FillTransformation(*form);
    Click(*form, "Next");
    return form;
}

// A comma file listed while the stored separator is ";": page 1 splits it by the commas and
// shows its first rows with X and Y chosen, one X that is no number among them.
std::unique_ptr<TTextImportForm> CommaFileParameters(const TScreenContext& context,
                                                     TScriptedInteraction& ui) {
    const std::filesystem::path file = std::filesystem::path(context.workDir) / "pickets.csv";
    std::ofstream(file, std::ios::binary) << "Number,East,North,Height\r\n"
                                             "PK0+00,491567.10,6288700.05,152.40\r\n"
                                             "PK0+20,491585.42,6288708.11,152.61\r\n"
                                             "PK0+40,-,6288716.30,152.88\r\n"
                                             "PK0+60,491622.07,6288724.52,153.02\r\n"
                                             "PK0+80,491640.35,6288732.70,153.20\r\n";
    auto form = std::make_unique<TTextImportForm>();
    form->Setup(DemoAddon(context));
    ui.fileAnswers.push_back({file});
    Click(*form, "SrcOpen");
    Click(*form, "Next");
    Find<QComboBox>(*form, "ComboBoxImportType")->setCurrentIndex(2);
    Choose(*form, "Maps", "Топографическая карта");
    Choose(*form, "SimpleComboBoxLayers", "Геодезические пункты");
    Choose(*form, "XCoordField", "East");
    Choose(*form, "YCoordField", "North");
    Pick(ui, *form, "ImportStylesGrid", 0, "Пикет");
    return form;
}

std::unique_ptr<QWidget> CommaFileSample(const TScreenContext& context) {
    TScriptedInteraction ui;
    return CommaFileParameters(context, ui);
}

// The run page of the comma file before "Импорт" and after the run, which skipped the row
// without a number; the closing message went to the scripted service.
std::unique_ptr<QWidget> CommaFileRun(const TScreenContext& context, bool run) {
    TScriptedInteraction ui;
    auto form = CommaFileParameters(context, ui);
    Click(*form, "Next");
    Click(*form, "Next");
    Click(*form, "Next");
    if (run)
        Click(*form, "Next");
    return form;
}

// The memo's right-click menu with the first line selected, in Qt's Russian texts. The menu is
// its own window; the wizard goes with it, hidden, so its actions keep their edit.
std::unique_ptr<QWidget> SourceMenu(const TScreenContext& context) {
    auto form = Wizard(context);
    auto* source = Find<QPlainTextEdit>(*form, "Source");
    source->moveCursor(QTextCursor::Start);
    source->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    std::unique_ptr<QMenu> menu(source->createStandardContextMenu());
    menu->setParent(nullptr, Qt::Popup);
    form.release()->setParent(menu.get(), Qt::Window);
    return menu;
}

const bool registered = RegisterScreens({
    {"text-import-source", SourcePage},
    {"text-import-source-files", FilesPage},
    {"text-import-parameters", ParamsPage},
    {"text-import-attributes", FieldsPage},
    {"text-import-transformation", TransformationPage},
    {"text-import-run", ImportPage},
    {"text-import-source-menu", SourceMenu},
    {"text-import-parameters-comma", CommaFileSample},
    {"text-import-run-comma", [](const TScreenContext& c) { return CommaFileRun(c, false); }},
    {"text-import-run-report", [](const TScreenContext& c) { return CommaFileRun(c, true); }},
});

} // namespace
