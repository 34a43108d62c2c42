// Times a PTS import run through the wizard as its user drives it: the file chosen (and
// previewed), a style through the chooser, the table and fields, "Далее >", then "Импорт".
//   wizard_bench FILE PROJECT   -> "points=N seconds=S preview=P"
// The project has the same layer, style and table as point_bench's, so that the two runs do
// the same work; the seconds are those of "Импорт" alone.
#include "addon/com_server.h"
#include "addon/custom_addon.h"
#include "host/core/host_session.h"
#include "platform/com/guid.h"
#include "pts/gui/pts_import_form.h"
#include "support/form_steps.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <chrono>
#include <cstdio>
#include <iostream>

namespace {

class TBenchAddon final : public TQmCustomAddon {
public:
    TBenchAddon()
        : TQmCustomAddon(MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}"), "TextImport",
                         "TextImport", 0) {}
};

nlohmann::json Description() {
    nlohmann::json fields = nlohmann::json::array({{{"name", "NUM"}, {"type", 10}},
                                                   {{"name", "NOTE"}, {"type", 10}},
                                                   {{"name", "H"}, {"type", 30}}});
    return {{"maps",
             {{{"id", "M1"},
               {"name", "Map"},
               {"layers",
                {{{"id", "L1"},
                  {"name", "Points"},
                  {"styles", {{{"id", "S1"}, {"name", "Point"}}}},
                  {"tables", {{{"id", "T1"}, {"name", "POINTS"}, {"fields", fields}}}}}}}}}}};
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Run(const std::filesystem::path& file, const std::filesystem::path& project) {
    std::filesystem::remove(project);
    kavrohost::CreateProject(project, Description());
    auto session = std::make_unique<kavrohost::THostSession>(project);
    auto* addon = new TBenchAddon; // the module's state owns it
    addon->Initialize(session->Manager());
    TScriptedInteraction ui;
    double seconds = 0, previewSeconds = 0;
    {
        TPtsImportForm form;
        form.Setup(*addon);
        form.show();
        QApplication::processEvents();

        ui.fileAnswers.push_back({file});
        auto start = std::chrono::steady_clock::now();
        Find<QAbstractButton>(form, "ImportFileButton")->click();
        QApplication::processEvents();
        previewSeconds = Seconds(start);
        if (Find<QLineEdit>(form, "ImportFileNameEdit")->text().isEmpty())
            throw std::runtime_error("the file did not preview");

        ConfirmStyleInChooser(QStringLiteral("Point"));
        Find<QAbstractButton>(form, "LayerStyleButton")->click();
        Choose(form, "TableComboBox", "POINTS");
        Choose(form, "NumberComboBox", "NUM");
        Choose(form, "CommentComboBox", "NOTE");
        Find<QAbstractButton>(form, "NextButton")->click();
        if (form.CurrentPage() != TPtsImportForm::kTransformationPage)
            throw std::runtime_error("the first page did not pass");
        QApplication::processEvents();

        ui.shown.clear();
        start = std::chrono::steady_clock::now();
        Find<QAbstractButton>(form, "NextButton")->click();
        QApplication::processEvents();
        seconds = Seconds(start);
        // The closing message: success, then the count (the count is checked in the project).
        if (ui.shown.empty() || !ui.shown.back().text.starts_with(Ansi("Импорт успешно завершен.")))
            throw std::runtime_error(ui.shown.empty() ? std::string("no message")
                                                      : AnsiToUtf8(ui.shown.back().text));
    }
    addon->Finalize();
    UnloadAddonModule();
    session.reset();
    long points = 0;
    kavrohost::ForEachObject(project, [&](const kavrohost::TObjectRecord&) { ++points; });
    std::printf("points=%ld seconds=%.3f preview=%.3f\n", points, seconds, previewSeconds);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: wizard_bench FILE PROJECT\n";
        return 2;
    }
    try {
        return Run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "wizard_bench: " << AnsiToUtf8(ExceptionMessage(e)) << "\n";
        return 1;
    }
}
