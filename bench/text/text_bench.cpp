// Measures the text sources and the text import run on a generated table "num;x;y;text"
// (Windows-1251, CR LF). Commands:
//   text_bench generate FILE ROWS
//   text_bench reader FILE          lines of TTextReader
//   text_bench csv FILE             TCSVData::Parse
//   text_bench run FILE PROJECT     the whole one-object-per-row import into a project file
// Every command prints one line "<name>: key=value ...".
#include "coords/import_transformation.h"
#include "host/core/host_session.h"
#include "text/csv_data.h"
#include "text/string_file.h"
#include "textimport/text_import_run.h"
#include "ui/scripted_interaction.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string ReadAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(std::filesystem::file_size(file), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

int Generate(const std::string& file, long rows) {
    std::ofstream out(file, std::ios::binary);
    const AnsiString word = Ansi("Пункт");
    out << "num;x;y;text\r\n";
    char line[128];
    for (long i = 1; i <= rows; ++i) {
        const double x = 500000.0 + (i % 1000) * 1.25;
        const double y = 6000000.0 + (i / 1000) * 1.5;
        const int n = std::snprintf(line, sizeof line, "%ld;%.2f;%.2f;", i, x, y);
        out.write(line, n);
        out << word << ' ' << i << "\r\n";
    }
    std::cout << "generate: rows=" << rows << "\n";
    return 0;
}

int Reader(const std::string& file) {
    const auto bytes = std::filesystem::file_size(file);
    const auto start = Clock::now();
    TStringFile source(file, codepage::kAnsi, 10240);
    AnsiString line;
    long lines = 0;
    std::size_t chars = 0;
    while (!source.End()) {
        source.ReadLine(line);
        chars += line.size();
        ++lines;
    }
    const double s = Seconds(start);
    std::printf("reader: lines=%ld chars=%zu seconds=%.3f lines_per_s=%.0f mb_per_s=%.1f\n", lines,
                chars, s, lines / s, bytes / 1e6 / s);
    return 0;
}

int Csv(const std::string& file) {
    AnsiString text = ReadAll(file);
    const double mb = text.size() / 1e6;
    TCSVData table;
    table.SetQuoteChar('"');
    table.SetDelimiter(';');
    const auto start = Clock::now();
    table.Parse(std::move(text));
    const double s = Seconds(start);
    std::printf("csv: rows=%d cols=%d seconds=%.3f mb_per_s=%.1f\n", table.RowCount(),
                table.ColCount(), s, mb / s);
    return 0;
}

const char* kProject = R"json({
  "maps": [{"id": "M1", "name": "Map", "layers": [
    {"id": "L1", "name": "Points", "styles": [{"id": "S1", "name": "Point"}],
     "tables": [{"id": "T1", "name": "POINTS", "caption": "Points", "mode": 0, "fields": [
       {"name": "NUM", "caption": "Number", "type": 20},
       {"name": "TEXT", "caption": "Text", "type": 10}]}]}]}],
  "activeMap": "M1", "activeLayer": "L1"
})json";

int Run(const std::string& file, const std::string& project) {
    std::filesystem::remove(project);
    kavrohost::CreateProject(project, nlohmann::json::parse(kProject));
    kavrohost::THostSession session(project);
    TScriptedInteraction ui;

    const auto start = Clock::now();
    auto shared = std::make_shared<TCSVData>();
    TCSVData& table = *shared;
    table.SetQuoteChar('"');
    table.SetDelimiter(';');
    table.Parse(ReadAll(file));
    const double parseSeconds = Seconds(start);

    TImportStyleList styles;
    styles.Emplace(Ansi("< все >")).StyleID = TQmID::From("S1");
    TImportFieldList fields;
    TTextImportInputs inputs;
    for (int c = 0; c < table.ColCount(); ++c) {
        inputs.columnNames.emplace_back(table.Cells(0, c));
        fields.Emplace(AnsiString(table.Cells(0, c)));
    }
    fields[0].TableID = TQmID::From("T1");
    fields[0].FieldName = "NUM";
    fields[0].FieldType = 20;
    fields[3].TableID = TQmID::From("T1");
    fields[3].FieldName = "TEXT";
    fields[3].FieldType = 10;
    TImportTransformation transformation;
    TProgress progress;
    inputs.table = shared;
    inputs.xColumnName = "x";
    inputs.yColumnName = "y";
    inputs.styles = styles.Values();
    inputs.fields = fields.Values();
    inputs.mapID = "M1";
    inputs.layerID = "L1";
    inputs.method = 2;
    inputs.transformation = &transformation;
    inputs.progress = &progress;
    inputs.application = session.Application();
    TTextImportRun run(inputs);
    const int count = run.Execute();
    const double s = Seconds(start);
    std::printf("run: points=%d errors=%zu seconds=%.3f parse_seconds=%.3f points_per_s=%.0f\n",
                count, ui.shown.size() - 1, s, parseSeconds, count / s);
    return count > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "generate" && argc == 4)
            return Generate(argv[2], std::stol(argv[3]));
        if (command == "reader" && argc == 3)
            return Reader(argv[2]);
        if (command == "csv" && argc == 3)
            return Csv(argv[2]);
        if (command == "run" && argc == 4)
            return Run(argv[2], argv[3]);
        std::cerr << "usage: text_bench generate FILE ROWS | reader FILE | csv FILE | run FILE "
                     "PROJECT\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "text_bench: " << AnsiToUtf8(ExceptionMessage(e)) << "\n";
        return 1;
    }
}
