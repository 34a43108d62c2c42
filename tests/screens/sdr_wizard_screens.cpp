// The SDR import wizard on the demo project: the sample survey files chosen and previewed, the
// control points' style with its table's fields, and the transformation page with a source
// system that differs from the database's; and the file dialog its "Обзор ..." opens.
#include "coords/gui/import_transformation_page.h"
#include "platform/gui/qt_text.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"
#include "sdr/gui/sdr_import_form.h"
#include "support/form_steps.h"
#include "ui/gui/id_caption_combo.h"
#include "ui/gui/qt_interaction.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

namespace {

// Selects the entry whose value (not caption) is given.
void ChooseValue(QWidget& root, const char* comboName, const char* value) {
    auto* box = Find<TIdCaptionComboBox>(root, comboName);
    if (!box->SelectId(value))
        throw std::runtime_error(std::string("no entry ") + value);
    emit box->activated(box->currentIndex());
}

// The sample files, copied into a survey folder of the scratch folder.
std::vector<std::filesystem::path> SurveyFiles(const TScreenContext& context) {
    const std::filesystem::path folder =
        std::filesystem::path(context.workDir) / std::filesystem::u8path("Съемка 14.05.2024");
    std::filesystem::create_directories(folder);
    std::vector<std::filesystem::path> files;
    for (const char* name : {"survey1.sdr", "survey2.sdr", "survey3.rpt"}) {
        const std::filesystem::path copy = folder / name;
        std::filesystem::copy_file(std::filesystem::path(context.sourceDir) / "samples" / name,
                                   copy, std::filesystem::copy_options::overwrite_existing);
        // The file dialog shows the time: the survey's, not the rendering's.
        std::filesystem::last_write_time(copy, SurveyTime());
        files.push_back(copy);
    }
    return files;
}

// The first page as a user leaves it before "Далее >".
std::unique_ptr<TSdrImportForm> Wizard(const TScreenContext& context,
                                       std::vector<std::filesystem::path> files) {
    TScriptedInteraction ui;
    auto form = std::make_unique<TSdrImportForm>();
    form->Setup(DemoAddon(context));
    ui.fileAnswers.push_back(std::move(files));
    Find<QAbstractButton>(*form, "SelectFileButton")->click();
    ConfirmStyleInChooser(QtText("Пикет"));
    Find<QAbstractButton>(*form, "StyleButton")->click();
    if (form->StyleId() != "PIKET")
        throw std::runtime_error("the style was not chosen");
    ChooseValue(*form, "NumberComboBox", "NUMBER");
    ChooseValue(*form, "ZCoordComboBox", "HEIGHT");
    ChooseValue(*form, "DataTimeComboBox", "SURVEYED");
    Find<QDateEdit>(*form, "ImportDateTime")->setDate(QDate(2024, 5, 15));
    return form;
}

std::unique_ptr<QWidget> SettingsPage(const TScreenContext& context) {
    return Wizard(context, SurveyFiles(context));
}

// Six files, the box's full height: the samples again from a second day's folder.
std::unique_ptr<QWidget> SixFiles(const TScreenContext& context) {
    std::vector<std::filesystem::path> files = SurveyFiles(context);
    for (std::size_t i = 0, count = files.size(); i < count; ++i) {
        const std::filesystem::path copy = files[i].parent_path().parent_path() /
                                           std::filesystem::u8path("Съемка 15.05.2024") /
                                           files[i].filename();
        std::filesystem::create_directories(copy.parent_path());
        std::filesystem::copy_file(files[i], copy,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::last_write_time(copy, SurveyTime());
        files.push_back(copy);
    }
    return Wizard(context, std::move(files));
}

std::unique_ptr<QWidget> TransformationPage(const TScreenContext& context) {
    auto form = Wizard(context, SurveyFiles(context));
    Find<QAbstractButton>(*form, "NextButton")->click();
    if (form->CurrentPage() != TSdrImportForm::kTransformationPage)
        throw std::runtime_error("the second page did not show");
    TImportTransformationPage& page = form->TransformationPage();
    Find<QComboBox>(page, "TransformationTypeComboBox")->setCurrentIndex(1);
    for (const char* caption : {"Pulkovo 1942 / Gauss-Kruger zone 7", "WGS 84"})
        for (const auto& reference : page.Catalog().References())
            if (reference->GetCaption() == caption) {
                page.ShowSource(reference->Def());
                return form;
            }
    throw std::runtime_error("no source system in the catalog");
}

// The dialog as the wizard asks for it, opened in the survey folder: Qt's dialog, in Russian.
std::unique_ptr<QWidget> FileDialog(const TScreenContext& context) {
    TScriptedInteraction ui;
    TSdrImportForm form;
    form.Setup(DemoAddon(context));
    Find<QAbstractButton>(form, "SelectFileButton")->click();
    if (ui.openFileRequests.size() != 1)
        throw std::runtime_error("the wizard asked for no files");
    std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(ui.openFileRequests.front(), nullptr);
    const std::vector<std::filesystem::path> files = SurveyFiles(context);
    // The folder is read in the background: the picture waits for its list.
    auto* model = dialog->findChild<QFileSystemModel*>();
    QEventLoop loaded;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &loaded, &QEventLoop::quit);
    QTimer::singleShot(3000, &loaded, &QEventLoop::quit);
    dialog->setDirectory(QString::fromStdU16String(files.front().parent_path().u16string()));
    dialog->setViewMode(QFileDialog::Detail);
    loaded.exec();
    return dialog;
}

const bool registered = RegisterScreens({
    {"sdr-import-settings", SettingsPage},
    {"sdr-import-six-files", SixFiles},
    {"sdr-import-file-dialog", FileDialog},
    {"sdr-import-transformation", TransformationPage},
});

} // namespace
