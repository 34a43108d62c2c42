// A host failure at every call of an import run.
//
// What a faulted run must leave in the project file is worked out from its call log against the
// clean run's. The calls before the failing one are the clean run's; after it the run either
// stops (the PTS run, an SDR file) or goes on with the next row or file (the text run's rows as
// objects, the SDR file loop), so the calls after the failure are the clean run's last calls.
// The calls that build objects (object, shape, part, vertex, closed mark, value) and the
// commits of the faulted run are replayed on a model of the clean run's objects: what the last
// successful commit saw is what the file must hold, each object cut to the calls that built it.
#include "faultsweep/fault_sweep.h"

#include "platform/exception.h"
#include "pts/pts_import_run.h"
#include "sdr/sdr_import_run.h"
#include "support/point_project.h"
#include "textimport/text_import_run.h"
#include "ui/scripted_interaction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace faultsweep {

namespace {

using kavrohost::THostCall;
using kavrohost::TObjectRecord;

// What SQLite says when a write needs a page the database may not have.
constexpr const char* kDiskFullMessage = "database or disk is full";

constexpr int kTextRows = 1000;
constexpr int kPtsPoints = 1000;
// Two files, an SDR and a GSI one, read reducing their observations: the first commits at 500
// objects and at its end, the second only at its end.
constexpr int kSdrFirstFile = 600;
constexpr int kSdrSecondFile = 400;

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string PtsText() {
    std::string text;
    for (int i = 1; i <= kPtsPoints; ++i)
        text += std::to_string(i) + "," + Format("%.3f", 410000 + i * 1.25) + "," +
                Format("%.3f", 6170000 + i * 0.75) + ",c" + std::to_string(i) + "\r\n";
    return text;
}

std::string Field16(std::string text) {
    text.resize(16, ' ');
    return text;
}

// Every third point of the survey files is observed from the file's station, and the run
// computes it.
bool Observed(int i) {
    return i % 3 == 0;
}

std::string SdrText(int first, int count) {
    std::string text = "00NMSDR33 V04-04.02\r\n02KI" + Field16("S") + Field16("5000") +
                       Field16("7000") + Field16("100") + Field16("1.5") + "\r\n07KI" +
                       Field16("S") + Field16("B") + Field16("0") + Field16("0") + "\r\n03NM" +
                       Field16("1.5") + "\r\n";
    for (int i = first; i < first + count; ++i) {
        if (Observed(i))
            text += "09F1" + Field16("S") + Field16("P" + std::to_string(i)) +
                    Field16(Format("%.4f", 10 + i * 0.01)) + Field16("89.5") +
                    Field16(Format("%.4f", i * 7 % 360)) + "\r\n";
        else
            text += "08KI" + Field16("P" + std::to_string(i)) +
                    Field16(Format("%.3f", 5000 + i * 1.5)) +
                    Field16(Format("%.3f", 7000 + i * 0.5)) +
                    Field16(Format("%.4f", 100 + i / 1000.0 + 0.0004)) + "\r\n";
    }
    return text;
}

// The same points as GSI-16 words: the number, easting and northing in millimetres, the height
// in 1/100 mm; the observed ones by their direction and zenith angle in degrees and slope
// distance from the station of the first block.
std::string GsiText(int first, int count) {
    std::string text = "*110001+000000000000000S 84..00+0000000005000000 85..00+0000000007000000 "
                       "86..00+0000000000100000 88..00+0000000000001500 \r\n";
    char block[200];
    for (int i = first; i < first + count; ++i) {
        if (Observed(i))
            std::snprintf(block, sizeof block,
                          "*110001+%16s 21.323+%016lld 22.323+0000000009050000 "
                          "31..00+%016lld 87..00+0000000000001500 \r\n",
                          ("P" + std::to_string(i)).c_str(), i * 7 % 360 * 100000LL,
                          10000LL + i * 10);
        else
            std::snprintf(block, sizeof block,
                          "*110001+%16s 81..00+%016lld 82..00+%016lld 83..08+%016lld \r\n",
                          ("P" + std::to_string(i)).c_str(), std::llround((5000 + i * 1.5) * 1000),
                          std::llround((7000 + i * 0.5) * 1000),
                          std::llround((100 + i / 1000.0 + 0.0004) * 100000));
        text += block;
    }
    return text;
}

// Windows-1251, as the text reader hands the table to the run.
std::string TableText() {
    std::string text = "N;X;Y;NOTE;H\r\n";
    for (int i = 1; i <= kTextRows; ++i)
        text += "P" + std::to_string(i) + ";" + Format("%.2f", 300000 + i * 2.5) + ";" +
                Format("%.2f", 5400000 + i * 1.5) + ";" + Utf8ToAnsi("пункт ") + std::to_string(i) +
                ";" + Format("%.1f", 150 + i / 10.0) + "\r\n";
    return text;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void RemoveProject(const std::filesystem::path& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(file.string() + suffix);
}

// What a run showed and raised, and its host calls.
struct TRunOutcome {
    std::vector<THostCall> calls;
    std::vector<std::string> texts;    // messages, errors and what was raised, UTF-8
    std::vector<std::string> messages; // the messages alone
    bool raised = false;
    std::vector<std::string> problems;
};

// The effect of a host call on the objects of the project.
enum class TEffect { Object, Shape, Part, Vertex, Closed, Value, Commit };

std::optional<TEffect> EffectOf(const std::string& operation) {
    static const std::map<std::string, TEffect, std::less<>> effects = {
        {"IKavroMapObjects.Add", TEffect::Object},
        {"IKavroShapes.Add", TEffect::Shape},
        {"IKavroContour.Add", TEffect::Part},
        {"IKavroContourPart.AddVertex", TEffect::Vertex},
        {"IKavroContourPart.put_Closed", TEffect::Closed},
        {"IKavroSemData.SetValue", TEffect::Value},
        {"IKavroMapObjects.Commit", TEffect::Commit},
    };
    const auto it = effects.find(operation);
    return it == effects.end() ? std::nullopt : std::optional<TEffect>(it->second);
}

// One call of the clean run that has an effect, and the clean object it builds (-1 for
// commits and for calls before the first object).
struct TStep {
    TEffect effect;
    int object;
    // A value's place among its object's values in the clean run (-1 for other steps).
    int value = -1;
};

struct TPartState {
    std::size_t vertices = 0;
    bool closed = false;
};
struct TShapeState {
    std::vector<TPartState> parts;
};
struct TObjectState {
    std::vector<TShapeState> shapes;
    // The clean object's values that were written, by their place among its values: a value
    // the host refused is left out and the run goes on with the next.
    std::vector<int> values;
};
// By the index of the clean object.
using TModel = std::map<int, TObjectState>;

bool SameVertex(const kavrohost::TVertexRecord& a, const kavrohost::TVertexRecord& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Records are compared too unless a value before was left out: a record handed out per value
// then counts from where the host left off.
bool SameValue(const kavrohost::TValueRecord& a, const kavrohost::TValueRecord& b,
               bool compareRecords = true) {
    return a.table == b.table && a.field == b.field && (!compareRecords || a.record == b.record) &&
           a.type == b.type && a.intValue == b.intValue && a.doubleValue == b.doubleValue &&
           a.text == b.text;
}

// The first difference between an object of the file and the expected one; empty when equal
// (ids aside).
std::string Difference(const TObjectRecord& actual, const TObjectRecord& expected,
                       bool compareRecords = true) {
    if (actual.layerId != expected.layerId)
        return "layer " + actual.layerId + ", expected " + expected.layerId;
    if (actual.shapes.size() != expected.shapes.size())
        return std::to_string(actual.shapes.size()) + " shapes, expected " +
               std::to_string(expected.shapes.size());
    for (std::size_t s = 0; s < actual.shapes.size(); ++s) {
        const auto& a = actual.shapes[s];
        const auto& e = expected.shapes[s];
        if (a.styleId != e.styleId)
            return "style " + a.styleId + ", expected " + e.styleId;
        if (a.parts.size() != e.parts.size())
            return std::to_string(a.parts.size()) + " parts, expected " +
                   std::to_string(e.parts.size());
        for (std::size_t p = 0; p < a.parts.size(); ++p) {
            if (a.parts[p].closed != e.parts[p].closed)
                return "closed mark differs";
            if (a.parts[p].vertices.size() != e.parts[p].vertices.size())
                return std::to_string(a.parts[p].vertices.size()) + " vertices, expected " +
                       std::to_string(e.parts[p].vertices.size());
            for (std::size_t v = 0; v < a.parts[p].vertices.size(); ++v)
                if (!SameVertex(a.parts[p].vertices[v], e.parts[p].vertices[v]))
                    return "vertex " + std::to_string(v) + " differs";
        }
    }
    if (actual.values.size() != expected.values.size())
        return std::to_string(actual.values.size()) + " values, expected " +
               std::to_string(expected.values.size());
    for (std::size_t v = 0; v < actual.values.size(); ++v)
        if (!SameValue(actual.values[v], expected.values[v], compareRecords))
            return "value " + actual.values[v].table + "." + actual.values[v].field + " = \"" +
                   actual.values[v].text + "\", expected " + expected.values[v].table + "." +
                   expected.values[v].field + " = \"" + expected.values[v].text + "\"";
    return {};
}

} // namespace

const char* CommandName(TCommand command) {
    switch (command) {
    case TCommand::Text:
        return "text";
    case TCommand::Pts:
        return "pts";
    case TCommand::Sdr:
        return "sdr";
    }
    return "?";
}

std::vector<TCommand> AllCommands() {
    return {TCommand::Text, TCommand::Pts, TCommand::Sdr};
}

std::string FailureMessage(int call) {
    return "Сбой хоста на вызове " + std::to_string(call);
}

std::vector<int> SampleCalls(int callCount, int step, int edge) {
    std::vector<int> calls;
    for (int k = 1; k <= callCount; ++k)
        if (k <= edge || k > callCount - edge || (step > 0 && k % step == 0))
            calls.push_back(k);
    return calls;
}

struct TFaultSweep::TImpl {
    TCommand command;
    std::filesystem::path folder;
    std::filesystem::path projectTemplate;
    std::vector<std::filesystem::path> inputs;
    std::string table; // the text command's table, Windows-1251

    std::vector<THostCall> cleanCalls;
    std::vector<TObjectRecord> cleanObjects;
    // The clean run's calls with an effect, and for each call the number of such calls before
    // it.
    std::vector<TStep> cleanSteps;
    std::vector<std::size_t> stepsBefore;

    void RunCommand(kavrohost::THostSession& session) const {
        switch (command) {
        case TCommand::Text:
            RunText(session);
            break;
        case TCommand::Pts:
            RunPts(session);
            break;
        case TCommand::Sdr:
            RunSdr(session);
            break;
        }
    }

    void RunText(kavrohost::THostSession& session) const {
        TCSVData data;
        data.SetDelimiter(';');
        data.Parse(table);
        TImportStyleList styles;
        styles.Emplace(Ansi("< все >")).StyleID = TQmID::From("S1");
        TImportFieldList fields;
        TTextImportInputs in;
        const std::map<std::string, std::pair<const char*, int>> targets = {
            {"N", {"NUM", 10}}, {"NOTE", {"NOTE", 10}}, {"H", {"H", 30}}};
        for (int c = 0; c < data.ColCount(); ++c) {
            const AnsiString name(data.Cells(0, c));
            in.columnNames.push_back(name);
            TImportField& field = fields.Emplace(name);
            if (const auto it = targets.find(name); it != targets.end()) {
                field.TableID = TQmID::From("T1");
                field.FieldName = it->second.first;
                field.FieldType = it->second.second;
            }
        }
        in.table = std::make_shared<const TCSVData>(std::move(data));
        in.xColumnName = "X";
        in.yColumnName = "Y";
        in.styles = styles.Values();
        in.fields = fields.Values();
        in.mapID = "M1";
        in.layerID = "L1";
        in.method = static_cast<int>(TTextImportMethod::RowsAsObjects);
        in.application = session.Application();
        TTextImportRun run(in);
        run.Execute();
    }

    void RunPts(kavrohost::THostSession& session) const {
        PtsImportForms::TPtsImportSettings s;
        s.application = TComPtr<IKavroApplication>(session.Application());
        s.database = TComPtr<IKavroDb>(session.Database());
        s.fileName = inputs.at(0);
        s.layerId = "L1";
        s.styleId = "S1";
        s.tableId = "T1";
        s.numberField = "NUM";
        s.commentField = "NOTE";
        PtsImportForms::RunPtsImport(s);
    }

    void RunSdr(kavrohost::THostSession& session) const {
        SDRImporter::TSdrRunSettings settings;
        settings.application = TComPtr<IKavroApplication>(session.Application());
        settings.database = TComPtr<IKavroDb>(session.Database());
        settings.files = inputs;
        settings.reading.ReduceObservations = true;
        TStringLines log;
        TLongOperations progress; // no window
        SDRImporter::TSdrImportParams& params = settings.params;
        params.LayerId = u"L1";
        params.StyleId = u"S1";
        params.TableId = u"T2"; // mode 1: a new record for every value
        params.NumberField = u"NUM";
        params.HeightField = u"H";
        params.Precision = 2;
        params.DateField = u"DT";
        params.ImportDate = 46000;
        (void)SDRImporter::RunSdrImport(settings, log, progress);
    }

    // Runs the command on a fresh copy of the project, with call k failing when k > 0; the
    // committed objects go to `objects`.
    TRunOutcome Run(int failingCall, std::vector<TObjectRecord>& objects) const {
        return Run(
            [&](kavrohost::THostSession& session) {
                if (failingCall > 0)
                    session.FailOnAnyCall(failingCall, FailureMessage(failingCall));
            },
            objects);
    }

    // Runs the command on a fresh copy of the project after `arm` set up its fault.
    TRunOutcome Run(const std::function<void(kavrohost::THostSession&)>& arm,
                    std::vector<TObjectRecord>& objects) const {
        const std::filesystem::path file = folder / "run.kavro";
        RemoveProject(file);
        std::filesystem::copy_file(projectTemplate, file);
        TRunOutcome outcome;
        {
            kavrohost::THostSession session(file);
            TScriptedInteraction ui;
            session.StartCallLog();
            arm(session);
            try {
                RunCommand(session);
            } catch (const std::exception& e) {
                outcome.raised = true;
                outcome.texts.push_back(AnsiToUtf8(ExceptionMessage(e)));
            } catch (...) {
                outcome.raised = true;
                outcome.problems.push_back("the run raised something that is not an exception");
            }
            outcome.calls = session.CallLog();
            for (const auto& shown : ui.shown) {
                outcome.texts.push_back(AnsiToUtf8(shown.text));
                if (shown.kind == TScriptedInteraction::TShown::Message)
                    outcome.messages.push_back(outcome.texts.back());
            }
        } // closing the session drops what was not committed
        objects = kavrohost::ReadObjects(file);
        return outcome;
    }

    void Prepare() {
        std::filesystem::create_directories(folder);
        projectTemplate = folder / "template.kavro";
        RemoveProject(projectTemplate);
        kavrohost::CreateProject(projectTemplate, PointProjectDescription());
        switch (command) {
        case TCommand::Text:
            table = TableText();
            break;
        case TCommand::Pts:
            inputs = {folder / "points.pts"};
            WriteFile(inputs[0], PtsText());
            break;
        case TCommand::Sdr:
            inputs = {folder / "first.sdr", folder / "second.gsi"};
            WriteFile(inputs[0], SdrText(1, kSdrFirstFile));
            WriteFile(inputs[1], GsiText(kSdrFirstFile + 1, kSdrSecondFile));
            break;
        }
    }

    void CleanRun() {
        const TRunOutcome clean = Run(0, cleanObjects);
        const std::size_t points = command == TCommand::Text  ? kTextRows
                                   : command == TCommand::Pts ? kPtsPoints
                                                              : kSdrFirstFile + kSdrSecondFile;
        std::string trouble;
        if (clean.raised || !clean.problems.empty())
            trouble = "it failed: " + (clean.texts.empty() ? std::string() : clean.texts[0]);
        else if (cleanObjects.size() != points)
            trouble = std::to_string(cleanObjects.size()) + " objects, expected " +
                      std::to_string(points);
        for (const THostCall& call : clean.calls)
            if (call.failed)
                trouble = "host call " + call.operation + " failed";
        if (!trouble.empty())
            throw std::runtime_error(std::string("the clean ") + CommandName(command) +
                                     " run is not usable: " + trouble);
        cleanCalls = clean.calls;
        int object = -1;
        int values = 0;
        for (const THostCall& call : cleanCalls) {
            stepsBefore.push_back(cleanSteps.size());
            const auto effect = EffectOf(call.operation);
            if (!effect)
                continue;
            if (*effect == TEffect::Object) {
                ++object;
                values = 0;
            }
            cleanSteps.push_back({*effect, *effect == TEffect::Commit ? -1 : object,
                                  *effect == TEffect::Value ? values++ : -1});
        }
        if (object + 1 != static_cast<int>(cleanObjects.size()))
            throw std::runtime_error("the clean run created objects the file does not hold");
    }

    // Applies one step of the clean run to the model; a problem when it cannot apply.
    static void Apply(const TStep& step, TModel& model, TModel& committed,
                      std::vector<std::string>& problems) {
        if (step.effect == TEffect::Commit) {
            committed = model;
            return;
        }
        if (step.effect == TEffect::Object) {
            model[step.object] = {};
            return;
        }
        const auto it = model.find(step.object);
        if (it == model.end()) {
            problems.push_back("a call built clean object " + std::to_string(step.object) +
                               " that was never created");
            return;
        }
        TObjectState& o = it->second;
        const bool noPart = o.shapes.empty() || o.shapes.back().parts.empty();
        switch (step.effect) {
        case TEffect::Shape:
            o.shapes.emplace_back();
            break;
        case TEffect::Part:
            if (o.shapes.empty())
                problems.push_back("a contour part without a shape");
            else
                o.shapes.back().parts.emplace_back();
            break;
        case TEffect::Vertex:
        case TEffect::Closed:
            if (noPart)
                problems.push_back("a vertex or closed mark without a part");
            else if (step.effect == TEffect::Vertex)
                ++o.shapes.back().parts.back().vertices;
            else
                o.shapes.back().parts.back().closed = true;
            break;
        case TEffect::Value:
            o.values.push_back(step.value);
            break;
        default:
            break;
        }
    }

    // The clean object cut to the state; nothing when the state asks for more than it has.
    static std::optional<TObjectRecord> Cut(const TObjectRecord& clean, const TObjectState& state) {
        TObjectRecord o = clean;
        if (state.shapes.size() > o.shapes.size())
            return std::nullopt;
        for (int v : state.values)
            if (v < 0 || static_cast<std::size_t>(v) >= clean.values.size())
                return std::nullopt;
        o.shapes.resize(state.shapes.size());
        for (std::size_t s = 0; s < o.shapes.size(); ++s) {
            auto& parts = o.shapes[s].parts;
            if (state.shapes[s].parts.size() > parts.size())
                return std::nullopt;
            parts.resize(state.shapes[s].parts.size());
            for (std::size_t p = 0; p < parts.size(); ++p) {
                if (state.shapes[s].parts[p].vertices > parts[p].vertices.size())
                    return std::nullopt;
                parts[p].vertices.resize(state.shapes[s].parts[p].vertices);
                parts[p].closed = state.shapes[s].parts[p].closed;
            }
        }
        // Values are written in the order the file lists them (by table, record, field).
        o.values.clear();
        for (int v : state.values)
            o.values.push_back(clean.values[static_cast<std::size_t>(v)]);
        return o;
    }

    // The clean run's objects as its first `commits` commits saved them.
    std::vector<TObjectRecord> SavedByCommits(int commits,
                                              std::vector<std::string>& problems) const {
        TModel model, saved;
        int seen = 0;
        for (const TStep& step : cleanSteps) {
            if (step.effect == TEffect::Commit && ++seen > commits)
                break;
            Apply(step, model, saved, problems);
        }
        return ObjectsOf(saved, problems).value_or(std::vector<TObjectRecord>{});
    }

    // The clean run's objects cut to the model's states; nothing, with a problem, when a state
    // asks for more than its object has.
    std::optional<std::vector<TObjectRecord>> ObjectsOf(const TModel& model,
                                                        std::vector<std::string>& problems) const {
        std::vector<TObjectRecord> objects;
        for (const auto& [index, state] : model) {
            auto cut = Cut(cleanObjects[static_cast<std::size_t>(index)], state);
            if (!cut) {
                problems.push_back("clean object " + std::to_string(index) +
                                   " has less than the calls built");
                return std::nullopt;
            }
            objects.push_back(std::move(*cut));
        }
        return objects;
    }

    TDiskFull FillAfterCommits(int commits) const {
        TDiskFull result;
        result.commits = commits;
        auto& problems = result.problems;
        std::vector<TObjectRecord> objects;
        const TRunOutcome run = Run(
            [&](kavrohost::THostSession& session) { session.FillDatabaseAfterCommits(commits); },
            objects);
        problems = run.problems;
        const auto& calls = run.calls;

        // Until the database is full the run is the clean one. The page limit counts whole
        // pages: the writes after the given commits may still fit into the pages there are, so
        // the first write that fails, with the message of SQLite itself, may come a commit or
        // more later, or never.
        std::size_t failed = 0;
        while (failed < calls.size() && !calls[failed].failed)
            ++failed;
        for (std::size_t i = 0; i < failed; ++i)
            if (i >= cleanCalls.size() || calls[i].operation != cleanCalls[i].operation) {
                problems.push_back("call " + std::to_string(i + 1) + " differs from the clean run");
                return result;
            }
        if (failed == calls.size()) {
            // Everything fitted: the run is the clean one.
            if (calls.size() != cleanCalls.size())
                problems.push_back("no host call failed, yet the run made " +
                                   std::to_string(calls.size()) + " calls, the clean run " +
                                   std::to_string(cleanCalls.size()));
            else if (objects.size() != cleanObjects.size())
                problems.push_back("no host call failed, yet the file holds " +
                                   std::to_string(objects.size()) + " objects");
            return result;
        }
        result.filled = true;
        result.operation = calls[failed].operation;
        int committed = 0;
        for (std::size_t i = 0; i < failed; ++i)
            committed += calls[i].operation == "IKavroMapObjects.Commit" ? 1 : 0;
        result.committed = committed;
        if (committed < commits)
            problems.push_back("a write failed after " + std::to_string(committed) +
                               " commits, before the database was made full");

        // The run stops with one message, the database's.
        if (run.texts.size() != 1) {
            std::string shown;
            for (std::size_t i = 0; i < run.texts.size() && i < 3; ++i)
                shown += (i ? " | " : "") + run.texts[i];
            problems.push_back(std::to_string(run.texts.size()) + " messages shown" +
                               (shown.empty() ? std::string() : " (" + shown + ")"));
        }
        bool reported = false;
        for (const std::string& text : run.texts)
            reported = reported || text.find(kDiskFullMessage) != std::string::npos;
        if (!reported)
            problems.push_back("the database's message was not shown");
        for (const std::string& text : run.messages)
            if (text.find("успешно") != std::string::npos)
                problems.push_back("success was reported: " + text);
        // It stops at once: no further change to map objects (a commit may follow).
        int changesAfter = 0;
        for (std::size_t i = failed + 1; i < calls.size(); ++i) {
            const auto effect = EffectOf(calls[i].operation);
            changesAfter += effect && *effect != TEffect::Commit ? 1 : 0;
        }
        if (changesAfter > 0)
            problems.push_back("the run went on with " + std::to_string(changesAfter) +
                               " changes after the failure");

        // The project holds what the commits before the database filled saved, value by value.
        const std::vector<TObjectRecord> expected = SavedByCommits(committed, problems);
        if (objects.size() != expected.size()) {
            problems.push_back("the file holds " + std::to_string(objects.size()) +
                               " objects, the commits before the database filled saved " +
                               std::to_string(expected.size()));
            return result;
        }
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (const std::string d = Difference(objects[i], expected[i]); !d.empty()) {
                problems.push_back("object " + std::to_string(objects[i].id) + ": " + d);
                break;
            }
        return result;
    }

    TInjection Inject(int k) const {
        TInjection result;
        result.call = k;
        auto& problems = result.problems;
        if (k < 1 || k > static_cast<int>(cleanCalls.size())) {
            problems.push_back("no such call");
            return result;
        }
        result.operation = cleanCalls[k - 1].operation;
        std::vector<TObjectRecord> objects;
        const TRunOutcome run = Run(k, objects);
        problems = run.problems;
        const auto& calls = run.calls;
        const std::size_t failed = static_cast<std::size_t>(k - 1);

        // The calls before the failure are the clean run's.
        if (calls.size() <= failed) {
            problems.push_back("the run made only " + std::to_string(calls.size()) + " calls");
            return result;
        }
        for (std::size_t i = 0; i < failed; ++i)
            if (calls[i].operation != cleanCalls[i].operation || calls[i].failed) {
                problems.push_back("call " + std::to_string(i + 1) + " differs from the clean run");
                return result;
            }
        if (calls[failed].operation != cleanCalls[failed].operation || !calls[failed].failed)
            problems.push_back("call " + std::to_string(k) + " did not fail");

        // The host's message reaches the user: shown, or raised for the wizard to show.
        const std::string message = FailureMessage(k);
        bool reported = false;
        for (const std::string& text : run.texts)
            reported = reported || text.find(message) != std::string::npos;
        if (!reported)
            problems.push_back(
                "the host's message was not reported (" +
                (run.texts.empty() ? std::string("nothing shown") : "shown: " + run.texts.back()) +
                ")");

        // A failure is never reported as success.
        for (const std::string& text : run.messages)
            if (text.starts_with("Импорт успешно завершен."))
                problems.push_back("success was reported");

        // After the failure: the calls with an effect are the clean run's last ones.
        std::vector<TEffect> rest;
        for (std::size_t i = failed + 1; i < calls.size(); ++i) {
            if (calls[i].failed)
                problems.push_back("call " + std::to_string(i + 1) + " (" + calls[i].operation +
                                   ") failed after the injected failure");
            if (const auto effect = EffectOf(calls[i].operation))
                rest.push_back(*effect);
        }
        const std::size_t before = stepsBefore[failed];
        const std::size_t firstAfter = before + (EffectOf(cleanCalls[failed].operation) ? 1 : 0);
        if (rest.size() > cleanSteps.size() - firstAfter) {
            problems.push_back("the run went on with more changes than the clean run had left");
            return result;
        }
        const std::size_t resume = cleanSteps.size() - rest.size();
        for (std::size_t i = 0; i < rest.size(); ++i)
            if (rest[i] != cleanSteps[resume + i].effect) {
                problems.push_back("after the failure the run's changes are not the clean run's");
                return result;
            }

        // What the host created: the clean run's objects, each cut to the calls that built it.
        // Every run commits what it created, also after an error, so all of it must be in the
        // file; except when the failing call is a commit: then what the commits before it saved.
        // The host's own record of its commits (`saved`) explains a mismatch.
        TModel model, saved;
        for (std::size_t i = 0; i < before; ++i)
            Apply(cleanSteps[i], model, saved, problems);
        const TModel savedBeforeFailure = saved;
        for (std::size_t i = resume; i < cleanSteps.size(); ++i)
            Apply(cleanSteps[i], model, saved, problems);
        // A commit that fails ends the run: what it should have saved is not saved, and nothing
        // is tried again.
        const bool commitFailed = cleanCalls[failed].operation == "IKavroMapObjects.Commit";
        const TModel& committed = commitFailed ? savedBeforeFailure : model;

        const auto cut = ObjectsOf(committed, problems);
        if (!cut)
            return result;
        const std::vector<TObjectRecord>& expected = *cut;
        // A value the host refused leaves the values after it out of order in their records.
        std::vector<bool> valuesInOrder;
        for (const auto& [index, state] : committed) {
            bool inOrder = true;
            for (std::size_t v = 0; v < state.values.size(); ++v)
                inOrder = inOrder && state.values[v] == static_cast<int>(v);
            valuesInOrder.push_back(inOrder);
        }
        const std::string uncommitted =
            saved.size() < committed.size()
                ? " (" + std::to_string(committed.size() - saved.size()) +
                      " objects created before the failure were never committed)"
                : std::string();
        if (objects.size() != expected.size()) {
            problems.push_back("the file holds " + std::to_string(objects.size()) +
                               " objects, expected " + std::to_string(expected.size()) +
                               uncommitted);
            return result;
        }
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (const std::string d = Difference(objects[i], expected[i], valuesInOrder[i]);
                !d.empty()) {
                problems.push_back("object " + std::to_string(objects[i].id) + ": " + d +
                                   uncommitted);
                return result;
            }
        const auto complete = [&](int index, const TObjectState& state) {
            const TObjectRecord& clean = cleanObjects[static_cast<std::size_t>(index)];
            return Difference(Cut(clean, state).value(), clean).empty();
        };
        for (const auto& [index, state] : committed)
            if (!complete(index, state))
                ++result.partialObjects;
        // The text run goes on after a value the host refused; its closing count is of the
        // objects it created, and the report beside it names the refusal.
        const std::string done = "Процесс завершен. Импортировано " + std::to_string(model.size()) +
                                 " " +
                                 AnsiToUtf8(CountedNoun(static_cast<std::int64_t>(model.size()),
                                                        "объект", "объекта", "объектов")) +
                                 ".";
        for (const std::string& text : run.messages)
            if (text.starts_with("Процесс завершен.") && !text.starts_with(done))
                problems.push_back("the run reported \"" + text + "\", expected \"" + done + "\"");
        return result;
    }
};

TFaultSweep::TFaultSweep(TCommand command, std::filesystem::path folder)
    : m_impl(std::make_unique<TImpl>()) {
    m_impl->command = command;
    m_impl->folder = std::move(folder);
    m_impl->Prepare();
    m_impl->CleanRun();
}

TFaultSweep::~TFaultSweep() = default;

int TFaultSweep::CallCount() const {
    return static_cast<int>(m_impl->cleanCalls.size());
}

const std::vector<kavrohost::THostCall>& TFaultSweep::CleanCalls() const {
    return m_impl->cleanCalls;
}

std::size_t TFaultSweep::CleanObjectCount() const {
    return m_impl->cleanObjects.size();
}

TInjection TFaultSweep::Inject(int call) const {
    return m_impl->Inject(call);
}

int TFaultSweep::CommitCount() const {
    return static_cast<int>(std::count_if(
        m_impl->cleanCalls.begin(), m_impl->cleanCalls.end(),
        [](const THostCall& call) { return call.operation == "IKavroMapObjects.Commit"; }));
}

TDiskFull TFaultSweep::FillAfterCommits(int commits) const {
    return m_impl->FillAfterCommits(commits);
}

} // namespace faultsweep
