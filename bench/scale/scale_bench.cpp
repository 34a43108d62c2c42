// Imports a large file through the text or the SDR wizard as its user drives it, or opens a
// large project in the host window, and reports the time and the process's memory: its peak
// while the wizard stood idle before the file was chosen (or before the project was opened),
// and its peak at the end.
//   scale_bench generate ROWS FILE     a comma-separated table "N,X,Y" of ROWS rows
//   scale_bench text FILE PROJECT      -> "objects=N seconds=S idle_kib=I peak_kib=P"
//   scale_bench sdr FILE PROJECT       -> the same
//   scale_bench host PROJECT           -> "objects=N first_paint=S idle_kib=I peak_kib=P"
// The projects have one map, layer and style (and a table for the SDR wizard's number).
#include "addon/com_server.h"
#include "addon/custom_addon.h"
#include "host/app/main_window.h"
#include "host/core/host_session.h"
#include "host/store/sqlite.h"
#include "platform/com/guid.h"
#include "sdr/gui/sdr_import_form.h"
#include "support/form_steps.h"
#include "textimport/gui/arrow_grid.h"
#include "textimport/gui/text_import_form.h"
#include "ui/scripted_interaction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

class TBenchAddon final : public TQmCustomAddon {
public:
    TBenchAddon()
        : TQmCustomAddon(MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}"), "TextImport",
                         "TextImport", 0) {}
};

nlohmann::json Description() {
    nlohmann::json fields = nlohmann::json::array({{{"name", "NUM"}, {"type", 10}}});
    return {{"maps",
             {{{"id", "M1"},
               {"name", "Map"},
               {"layers",
                {{{"id", "L1"},
                  {"name", "Points"},
                  {"styles", {{{"id", "S1"}, {"name", "Point"}}}},
                  {"tables", {{{"id", "T1"}, {"name", "POINTS"}, {"fields", fields}}}}}}}}}},
            {"activeMap", "M1"},
            {"activeLayer", "L1"}};
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A field of /proc/self/status in KiB ("VmHWM:" is the peak resident memory).
long StatusKib(const char* key) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = key;
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(prefix))
            return std::atol(line.c_str() + prefix.size());
    return -1;
}

long PeakKib() {
    return StatusKib("VmHWM:");
}

long StoredObjects(const std::filesystem::path& project) {
    kavrohost::TDatabase db(project, false);
    auto count = db.Prepare("SELECT count(*) FROM objects");
    return count.Step() ? static_cast<long>(count.Int(0)) : 0;
}

void Expect(bool condition, const std::string& what) {
    if (!condition)
        throw std::runtime_error(what);
}

int Generate(long rows, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "N,X,Y\r\n";
    char line[64];
    for (long i = 0; i < rows; ++i) {
        const int n = std::snprintf(line, sizeof line, "%ld,%.2f,%.2f\r\n", i + 1,
                                    500000 + (i % 2000) * 1.5, 6000000 + (i / 2000) * 1.5);
        out.write(line, n);
    }
    return out ? 0 : 1;
}

// The wizard's run, from the file choice to the closing message, on a fresh project.
template <class Drive>
int RunWizard(const std::filesystem::path& project, const char* kind, Drive drive) {
    std::filesystem::remove(project);
    kavrohost::CreateProject(project, Description());
    auto session = std::make_unique<kavrohost::THostSession>(project);
    auto* addon = new TBenchAddon; // the module's state owns it
    addon->Initialize(session->Manager());
    TScriptedInteraction ui;
    long idle = 0;
    double seconds = 0;
    drive(*addon, ui, idle, seconds);
    addon->Finalize();
    UnloadAddonModule();
    session.reset();
    const long peak = PeakKib();
    std::printf("%s: objects=%ld seconds=%.3f idle_kib=%ld peak_kib=%ld\n", kind,
                StoredObjects(project), seconds, idle, peak);
    return 0;
}

AnsiString LastShown(const TScriptedInteraction& ui) {
    return ui.shown.empty() ? AnsiString() : ui.shown.back().text;
}

int RunText(const std::filesystem::path& file, const std::filesystem::path& project) {
    return RunWizard(
        project, "text",
        [&](TBenchAddon& addon, TScriptedInteraction& ui, long& idle, double& seconds) {
            TTextImportForm form;
            form.Setup(addon);
            form.show();
            QApplication::processEvents();
            idle = PeakKib();

            const auto start = std::chrono::steady_clock::now();
            ui.fileAnswers.push_back({file});
            Find<QAbstractButton>(form, "SrcOpen")->click();
            Find<QAbstractButton>(form, "Next")->click();
            Expect(form.CurrentPage() == TTextImportForm::kParamsPage, "the source did not read");
            Find<QRadioButton>(form, "SymbolDivided")->setChecked(true);
            Find<QLineEdit>(form, "DivSymbol")->setText(QStringLiteral(","));
            // One object per row.
            Find<QComboBox>(form, "ComboBoxImportType")->setCurrentIndex(2);
            Choose(form, "XCoordField", "X");
            Choose(form, "YCoordField", "Y");
            auto* styles = Find<TArrowGrid>(form, "ImportStylesGrid");
            styles->SelectRow(0);
            ui.pickAnswers.push_back(1);
            styles->ArrowButton()->click();
            for (int page = TTextImportForm::kParamsPage; page < TTextImportForm::kImportPage;
                 ++page)
                Find<QAbstractButton>(form, "Next")->click();
            Expect(form.CurrentPage() == TTextImportForm::kImportPage,
                   ui.shown.empty() ? "the parameters did not pass" : AnsiToUtf8(LastShown(ui)));
            ui.shown.clear();
            Find<QAbstractButton>(form, "Next")->click();
            QApplication::processEvents();
            seconds = Seconds(start);
            Expect(LastShown(ui).starts_with(Ansi("Процесс завершен.")), AnsiToUtf8(LastShown(ui)));
        });
}

int RunSdr(const std::filesystem::path& file, const std::filesystem::path& project) {
    return RunWizard(
        project, "sdr",
        [&](TBenchAddon& addon, TScriptedInteraction& ui, long& idle, double& seconds) {
            TSdrImportForm form;
            form.Setup(addon);
            form.show();
            QApplication::processEvents();
            idle = PeakKib();

            const auto start = std::chrono::steady_clock::now();
            ui.fileAnswers.push_back({file});
            Find<QAbstractButton>(form, "SelectFileButton")->click();
            QApplication::processEvents();
            ConfirmStyleInChooser(QStringLiteral("Point"));
            Find<QAbstractButton>(form, "StyleButton")->click();
            Find<QAbstractButton>(form, "NextButton")->click();
            Expect(form.CurrentPage() == TSdrImportForm::kTransformationPage,
                   "the first page did not pass");
            ui.shown.clear();
            Find<QAbstractButton>(form, "NextButton")->click();
            QApplication::processEvents();
            seconds = Seconds(start);
            // Success, then the count of points (the count is checked in the project).
            Expect(LastShown(ui).starts_with(Ansi("Импорт успешно завершен.")),
                   AnsiToUtf8(LastShown(ui)));
        });
}

// Counts the paints of the widget it watches.
class TPaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

int RunHost(const std::filesystem::path& project) {
    const long objects = StoredObjects(project);
    kavrohost::TMainWindow window;
    TPaintCounter counter;
    window.MapView()->installEventFilter(&counter);
    QApplication::processEvents();
    const long idle = PeakKib();

    const auto start = std::chrono::steady_clock::now();
    Expect(window.OpenProject(project, false), "the project did not open");
    window.show();
    // The paint event is delivered before the view draws; once the events it came with are
    // processed, the first picture is drawn.
    while (counter.paints == 0 && Seconds(start) < 600)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
    const double firstPaint = Seconds(start);
    Expect(counter.paints > 0, "the map view was never painted");
    std::printf("host: objects=%ld first_paint=%.3f idle_kib=%ld peak_kib=%ld\n", objects,
                firstPaint, idle, PeakKib());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "generate" && argc == 4)
            return Generate(std::atol(argv[2]), argv[3]);
        QApplication app(argc, argv);
        if (command == "text" && argc == 4)
            return RunText(argv[2], argv[3]);
        if (command == "sdr" && argc == 4)
            return RunSdr(argv[2], argv[3]);
        if (command == "host" && argc == 3)
            return RunHost(argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "scale_bench " << command << ": " << AnsiToUtf8(ExceptionMessage(e)) << "\n";
        return 1;
    }
    std::cerr << "usage: scale_bench generate ROWS FILE | text FILE PROJECT | sdr FILE PROJECT | "
                 "host PROJECT\n";
    return 2;
}
