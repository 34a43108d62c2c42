// Generates PTS, SDR and CSV point files and times reading them and importing them into a
// project file of the host stand-in.
//   point_bench generate pts|sdr|gsi|csv COUNT FILE
//   point_bench read pts|sdr|gsi FILE                 -> "points=N seconds=S"
//   point_bench import pts|sdr|gsi FILE PROJECT       -> "points=N seconds=S peak_kib=K"
#include "coords/import_transformation.h"
#include "host/core/host_session.h"
#include "pts/pts_import_run.h"
#include "pts/pts_reader.h"
#include "sdr/sdr_import_run.h"
#include "sdr/survey_readers.h"
#include "ui/user_interaction.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// Answers nothing and shows nothing: the runs report through it.
class TQuietInteraction final : public TUserInteraction {
public:
    void ShowMessage(const AnsiString& text) override { last = text; }
    void ShowError(const AnsiString& text) override { last = text; }
    bool Confirm(const AnsiString&, const AnsiString&, TConfirmKind) override { return false; }
    std::vector<std::filesystem::path> OpenFiles(const TOpenFileOptions&) override { return {}; }
    std::optional<int> PickFromList(const TPickListRequest&) override { return std::nullopt; }
    void ProcessMessages() override {}
    AnsiString last;
};

void Point(long i, double& x, double& y, double& z) {
    x = 500000.0 + static_cast<double>(i % 1000) * 1.25;
    y = 6000000.0 + static_cast<double>(i / 1000) * 1.5;
    z = 100.0 + static_cast<double>(i % 97) * 0.013;
}

int Generate(const std::string& kind, long count, const std::string& file) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return 1;
    if (kind == "csv")
        std::fputs("num,x,y,comment\r\n", out);
    if (kind == "sdr")
        std::fputs("00NMSDR33 V04-04.02\r\n", out);
    for (long i = 1; i <= count; ++i) {
        double x, y, z;
        Point(i, x, y, z);
        if (kind == "pts")
            std::fprintf(out, "%ld,%.3f,%.3f,pt %ld\r\n", i, x, y, i);
        else if (kind == "csv")
            std::fprintf(out, "%ld,%.3f,%.3f,pt %ld\r\n", i, x, y, i);
        else if (kind == "gsi") // GSI-16 words, metres to the millimetre
            std::fprintf(out, "*110001+%016ld 81..00+%016lld 82..00+%016lld 83..00+%016lld \r\n", i,
                         std::llround(x * 1000), std::llround(y * 1000), std::llround(z * 1000));
        else
            std::fprintf(out, "08KI%-16ld%-16.3f%-16.3f%-16.3f\r\n", i, x, y, z);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int Read(const std::string& kind, const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    long points = 0;
    TNXYZPoint point;
    if (kind == "pts") {
        TInputPtsFile reader(file);
        while (reader.ReadPoint(point))
            ++points;
    } else {
        auto reader = SDRReader::ReaderForFile(file);
        while (reader->ReadPoint(point))
            ++points;
    }
    std::printf("points=%ld seconds=%.3f\n", points, Seconds(start));
    return 0;
}

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

int Import(const std::string& kind, const std::string& file, const std::string& project) {
    std::filesystem::remove(project);
    kavrohost::CreateProject(project, Description());
    kavrohost::THostSession session(project);
    TQuietInteraction ui;
    SetUserInteraction(&ui);
    TImportTransformation transformation;

    const auto start = std::chrono::steady_clock::now();
    if (kind == "pts") {
        PtsImportForms::TPtsImportSettings s;
        s.application = TComPtr<IKavroApplication>(session.Application());
        s.database = TComPtr<IKavroDb>(session.Database());
        s.transformation = &transformation;
        s.fileName = file;
        s.layerId = "L1";
        s.styleId = "S1";
        s.tableId = "T1";
        s.numberField = "NUM";
        s.commentField = "NOTE";
        PtsImportForms::RunPtsImport(s);
    } else {
        TStringLines log;
        TLongOperations progress;
        SDRImporter::TSdrRunSettings settings;
        settings.application = TComPtr<IKavroApplication>(session.Application());
        settings.database = TComPtr<IKavroDb>(session.Database());
        settings.transformation = &transformation;
        settings.files = {file};
        SDRImporter::TSdrImportParams& params = settings.params;
        params.LayerId = u"L1";
        params.StyleId = u"S1";
        params.TableId = u"T1";
        params.NumberField = u"NUM";
        params.HeightField = u"H";
        const SDRImporter::TSdrRunOutcome outcome =
            SDRImporter::RunSdrImport(settings, log, progress);
        if (!outcome.errors.Empty()) {
            std::cerr << AnsiToUtf8(SDRImporter::SdrErrorSummary(outcome.errors)) << "\n";
            return 1;
        }
    }
    const double seconds = Seconds(start);
    const long peak = PeakKiB(); // before the objects are read back
    SetUserInteraction(nullptr);
    long points = 0;
    kavrohost::ForEachObject(project, [&](const kavrohost::TObjectRecord&) { ++points; });
    std::printf("points=%ld seconds=%.3f peak_kib=%ld\n", points, seconds, peak);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "generate" && argc == 5)
            return Generate(argv[2], std::stol(argv[3]), argv[4]);
        if (command == "read" && argc == 4)
            return Read(argv[2], argv[3]);
        if (command == "import" && argc == 5)
            return Import(argv[2], argv[3], argv[4]);
    } catch (const std::exception& e) {
        std::cerr << "point_bench: " << AnsiToUtf8(ExceptionMessage(e)) << "\n";
        return 1;
    }
    std::cerr << "usage: point_bench generate pts|sdr|csv COUNT FILE | read pts|sdr FILE | "
                 "import pts|sdr FILE PROJECT\n";
    return 2;
}
