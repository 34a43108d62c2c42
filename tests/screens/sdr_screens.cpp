// The progress window of a survey import while it reads its one file: the window of a real run
// through the wizard, grabbed when the bar has passed three tenths.
#include "platform/gui/qt_text.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"
#include "sdr/gui/sdr_import_form.h"
#include "support/form_steps.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>

#include <cstdio>

namespace {

// A station's day: 300,000 coordinate records, enough for the run to take a while.
std::filesystem::path StationFile(const TScreenContext& context) {
    const std::filesystem::path folder = std::filesystem::path(context.workDir) /
                                         std::filesystem::u8path("Съемка 14.05.2024/Участок 3");
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "station-12.sdr";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        throw std::runtime_error("cannot write the survey file");
    for (long i = 1; i <= 300000; ++i)
        std::fprintf(out, "08KI%-16ld%-16.3f%-16.3f%-16.3f\r\n", i, 493000.0 + i % 1000,
                     6289000.0 + i / 1000, 151.0 + (i % 7) * 0.1);
    std::fclose(out);
    // The survey folder's file dialog lists this folder: the survey's time, not the rendering's.
    std::filesystem::last_write_time(folder, SurveyTime());
    return file;
}

std::unique_ptr<QWidget> ProgressDuringImport(const TScreenContext& context) {
    TScriptedInteraction ui;
    TSdrImportForm form;
    form.Setup(DemoAddon(context));
    ui.fileAnswers.push_back({StationFile(context)});
    Find<QAbstractButton>(form, "SelectFileButton")->click();
    ConfirmStyleInChooser(QtText("Пикет"));
    Find<QAbstractButton>(form, "StyleButton")->click();
    Find<QAbstractButton>(form, "NextButton")->click();
    if (form.CurrentPage() != TSdrImportForm::kTransformationPage)
        throw std::runtime_error("the first page did not pass");

    // The run pumps the window's events as it reads: the picture is taken at a pump.
    QPixmap picture;
    ui.onProcessMessages = [&] {
        QCoreApplication::processEvents();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!picture.isNull() || window->objectName() != QStringLiteral("LongOperationForm") ||
                !window->isVisible())
                continue;
            const auto* bar = window->findChild<QProgressBar*>(QStringLiteral("Animation"));
            if (bar && bar->maximum() > 1 && bar->value() * 10 >= bar->maximum() * 3)
                picture = window->grab();
        }
    };
    Find<QAbstractButton>(form, "NextButton")->click();
    if (picture.isNull())
        throw std::runtime_error("the progress window was not seen during the run");
    auto shown = std::make_unique<QLabel>();
    shown->setPixmap(picture);
    shown->setFixedSize(picture.deviceIndependentSize().toSize());
    return shown;
}

const bool registered = RegisterScreens({{"sdr-import-progress", ProgressDuringImport}});

} // namespace
