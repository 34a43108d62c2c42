// The PTS import wizard on the demo project: the sample survey file chosen and previewed, a
// style of the geodetic points with its table and fields, and the transformation page with a
// local chain of a shift and a turn.
#include "coords/gui/import_transformation_page.h"
#include "coords/transform_data.h"
#include "platform/gui/qt_text.h"
#include "pts/gui/pts_import_form.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"
#include "support/form_steps.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <cmath>

namespace {

// "..." beside the layer, and the style confirmed in the chooser.
void ChooseStyle(QWidget& form, const char* utf8) {
    ConfirmStyleInChooser(QString::fromUtf8(utf8));
    Find<QAbstractButton>(form, "LayerStyleButton")->click();
}

// The first page as a user leaves it before "Далее >".
std::unique_ptr<TPtsImportForm> Wizard(const TScreenContext& context) {
    auto form = std::make_unique<TPtsImportForm>();
    form->Setup(DemoAddon(context));
    const std::filesystem::path folder =
        std::filesystem::path(context.workDir) / std::filesystem::u8path("Съемка 2024-05-14");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "topo.pts";
    std::filesystem::copy_file(std::filesystem::path(context.sourceDir) / "samples" / "topo.pts",
                               file, std::filesystem::copy_options::overwrite_existing);
    TScriptedInteraction ui;
    ui.fileAnswers.push_back({file});
    Find<QAbstractButton>(*form, "ImportFileButton")->click();
    // The surveyor's folder rather than the tool's scratch one, so that the picture is the same
    // from run to run.
    Find<QLineEdit>(*form, "ImportFileNameEdit")
        ->setText(QString::fromUtf8("/home/geodesist/Съемка/2024-05-14/topo.pts"));
    ChooseStyle(*form, "Пикет");
    Choose(*form, "TableComboBox", "POINTS");
    Choose(*form, "NumberComboBox", "NUMBER");
    Choose(*form, "CommentComboBox", "NAME");
    return form;
}

std::unique_ptr<QWidget> SettingsPage(const TScreenContext& context) {
    return Wizard(context);
}

std::unique_ptr<QWidget> TransformationPage(const TScreenContext& context) {
    auto form = Wizard(context);
    TScriptedInteraction ui;
    Find<QAbstractButton>(*form, "NextButton")->click();
    TTransformData& chain = form->TransformationPage().Chain();
    chain.Add(std::make_unique<TTransformRotationItem>(1.25 * M_PI / 180));
    chain.Add(std::make_unique<TTransformTranslationItem>(-152.43, 87.9));
    return form;
}

const bool registered = RegisterScreens({
    {"pts-import-settings", SettingsPage},
    {"pts-import-transformation", TransformationPage},
});

} // namespace
