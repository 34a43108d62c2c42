// The text import run.
#include "text_import_run.h"

#include "host_api/field_types.h"
#include "host_api/host_errors.h"
#include "text/number_text.h"
#include "ui/user_interaction.h"

#include <cmath>
#include <stdexcept>

namespace {

// Two transformed points closer than this close a ring.
constexpr long double kRingClosingDistance = 1e-15L;

} // namespace

// What every method does first and last: the host database and a writer on it, the resolved
// columns, the target layer and the progress; the map-object changes are committed when the
// method ends, also when it ends by an error, which then says how many objects were saved.
class TTextImportRun::TCommonOpening {
public:
    explicit TCommonOpening(TTextImportRun& run) : m_run(run) {
        run.m_objectCount = 0;
        writer = std::make_unique<THostWriter>(FetchHostObject<IKavroDb>([&](IKavroDb** p) {
                                                   return run.m_inputs.application->get_ActiveDb(p);
                                               }),
                                               0);
    }

    // Resolves the columns, starts the progress, runs the method's body and commits after it,
    // whatever happens.
    template <class Body> void Run(Body body) {
        try {
            WriteAndCommit(*writer, [&] {
                const TTextImportInputs& in = m_run.m_inputs;
                m_run.m_xColumn = FindColumn(in.columnNames, in.xColumnName);
                m_run.m_yColumn = FindColumn(in.columnNames, in.yColumnName);
                layer = AnsiBstr(in.layerID);
                if (in.progress)
                    in.progress->StartProgress(Ansi("Импорт графики"), in.table->RowCount());
                body();
            });
        } catch (...) {
            RaiseImportStopped(std::current_exception(), writer->Committed());
        }
    }

    std::unique_ptr<THostWriter> writer;
    TBstr layer;

private:
    TTextImportRun& m_run;
};

TTextImportRun::TTextImportRun(TTextImportInputs inputs) : m_inputs(std::move(inputs)) {}

TTextImportRun::~TTextImportRun() = default;

AnsiString TextRunClosingMessage(int objectCount, bool cancelled, const TImportReport& report) {
    const AnsiString count = std::to_string(objectCount) + ' ' +
                             CountedNoun(objectCount, "объект", "объекта", "объектов") + '.';
    AnsiString text = cancelled ? Ansi("Импорт прерван пользователем.\r\nИмпортировано ") + count
                                : Ansi("Процесс завершен. Импортировано ") + count;
    if (const AnsiString skipped = report.SkippedText(); !skipped.empty())
        text += "\r\n" + skipped;
    return text;
}

int TTextImportRun::Execute() {
    const auto& in = m_inputs;
    if (!in.table || !in.application)
        throw std::invalid_argument("text import run without table or application");
    CheckParameters(in);
    m_info = std::make_unique<TImportDataInfo>(in.fields, in.columnNames);
    m_report.Clear();
    m_report.AddReplacedCharacters(in.replacedCharacters);
    m_cancelled = false;
    m_conversion = PrepareRunConversion(in.transformation);
    switch (static_cast<TTextImportMethod>(in.method)) {
    case TTextImportMethod::RingsAsObjects:
        RunRings(false);
        break;
    case TTextImportMethod::RingsAsShapes:
        RunRings(true);
        break;
    case TTextImportMethod::RowsAsObjects:
        RunRowsAsObjects();
        break;
    default:
        throw EUserError(Ansi("Неизвестный метод импорта: ") + std::to_string(in.method));
    }
    m_report.AddImported(m_objectCount);
    if (in.reportReady)
        in.reportReady(m_report);
    UserInteraction().ShowMessage(TextRunClosingMessage(m_objectCount, m_cancelled, m_report));
    return m_objectCount;
}

void TTextImportRun::CheckParameters(const TTextImportInputs& in) {
    if (in.xColumnName.empty())
        throw EUserError(Ansi("Не задано поле с X координатами"));
    if (in.yColumnName.empty())
        throw EUserError(Ansi("Не задано поле с Y координатами"));
    if (in.mapID.empty())
        throw EUserError(Ansi("Не задана карта"));
    if (in.layerID.empty())
        throw EUserError(Ansi("Не задан слой"));
    if (in.classifierColumn < 0 && !in.styles.empty() && !HasStyle(&in.styles[0]))
        throw EUserError(Ansi("Ошибка. Не задан стиль для импорта"));
    // A name that matches no column (a column renamed after it was chosen) would make every
    // point invalid; refuse the run instead of importing nothing.
    if (FindColumn(in.columnNames, in.xColumnName) < 0)
        throw EUserError(Ansi("Не найден столбец с X координатами: \"") + in.xColumnName + "\"");
    if (FindColumn(in.columnNames, in.yColumnName) < 0)
        throw EUserError(Ansi("Не найден столбец с Y координатами: \"") + in.yColumnName + "\"");
}

int TTextImportRun::FirstDataRow(const TCSVData& table, int xColumn) {
    if (xColumn < 0 || xColumn >= table.ColCount())
        return 0;
    for (int row = 0; row < table.RowCount(); ++row)
        if (ParseNumber(table.Cells(row, xColumn)))
            return row;
    return 0;
}

std::optional<TPlanePoint> TTextImportRun::ReadRowPoint(const TCSVData& table, int row, int xColumn,
                                                        int yColumn) {
    if (row < 0 || row >= table.RowCount() || xColumn < 0 || yColumn < 0 ||
        xColumn >= table.ColCount() || yColumn >= table.ColCount())
        return std::nullopt;
    const auto x = ParseNumber(table.Cells(row, xColumn));
    if (!x)
        return std::nullopt;
    const auto y = ParseNumber(table.Cells(row, yColumn));
    if (!y)
        return std::nullopt;
    return TPlanePoint{*x, *y};
}

std::optional<double> TTextImportRun::ParseNumber(std::string_view text) {
    return ReadDecimal(text, kTableCellForm);
}

const TImportStyle* TTextImportRun::Style(int index) const {
    return index >= 0 && index < static_cast<int>(m_inputs.styles.size())
               ? &m_inputs.styles[static_cast<std::size_t>(index)]
               : nullptr;
}

const TImportStyle* TTextImportRun::StyleForRow(int row) const {
    const TCSVData& table = *m_inputs.table;
    const int column = m_inputs.classifierColumn;
    if (column < 0)
        return Style(0);
    if (row < 0 || row >= table.RowCount() || column >= table.ColCount())
        return nullptr;
    const std::string_view value = table.Cells(row, column);
    for (const TImportStyle& style : m_inputs.styles)
        if (SameClassifierValue(value, style.Value))
            return &style;
    return nullptr;
}

std::optional<TPlanePoint> TTextImportRun::Convert(TPlanePoint point, int row) {
    const std::optional<TPlanePoint> converted = m_conversion.Convert(point);
    if (!converted)
        m_report.Add(TSkipReason::ConversionFailed, row + 1);
    return converted;
}

bool TTextImportRun::StepAndCheckCancel() {
    TProgress* const progress = m_inputs.progress;
    if (!progress)
        return false;
    progress->StepProgress();
    m_cancelled = progress->Cancelled();
    return m_cancelled;
}

TVariant TTextImportRun::ConvertCell(std::string_view text, std::int32_t fieldType) {
    if (FieldType::IsInteger(fieldType)) {
        const auto value = ReadRuntimeInteger(text);
        return value ? TVariant::Int(*value) : TVariant::Null();
    }
    if (FieldType::IsFloat(fieldType)) {
        const auto value = ParseNumber(text);
        return value ? TVariant::Double(*value) : TVariant::Null();
    }
    return TVariant::Text(AnsiToWide(text));
}

void TTextImportRun::WriteAttributes(THostWriter& writer, IKavroMapObject* object, int row) {
    const TCSVData& table = *m_inputs.table;
    const std::int64_t line = row + 1;
    // The table and the object's attribute data are fetched anew for every row and field. A
    // value the host refuses is counted and the run goes on; a failure of the database ends it.
    for (int t = 0; t < m_info->Tables.Count(); ++t) {
        const TImportTableInfo& tableInfo = m_info->Tables[t];
        for (int f = 0; f < tableInfo.Fields.Count(); ++f) {
            const TImportFieldInfo& field = tableInfo.Fields[f];
            // A mapping whose column has gone (renamed in the grid) has no cell to read.
            if (field.Column < 0 || field.Column >= table.ColCount())
                continue;
            try {
                const THostTable hostTable(writer.Database(), HostIdBstr(tableInfo.TableID.View()),
                                           TRecordRule::ObjectRecord);
                const TVariant value = ConvertCell(table.Cells(row, field.Column), field.FieldType);
                TObjectValues values(object, hostTable);
                values.Set(AnsiBstr(field.FieldName), value);
            } catch (const std::exception& e) {
                if (!IsValueRefusal(e))
                    throw;
                m_report.Add(TSkipReason::HostRefusedValue, line, ExceptionMessage(e));
            }
        }
    }
}

void TTextImportRun::RunRowsAsObjects() {
    TCommonOpening opening(*this);
    const TCSVData& table = *m_inputs.table;

    opening.Run([&] {
        // The styles as the host takes them, converted once.
        std::vector<TBstr> styleIDs;
        styleIDs.reserve(m_inputs.styles.size());
        for (const TImportStyle& style : m_inputs.styles)
            styleIDs.push_back(HostIdBstr(style.StyleID.View()));
        THostWriter& writer = *opening.writer;

        for (int row = FirstDataRow(table, m_xColumn); row < table.RowCount(); ++row) {
            if (const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn)) {
                const TImportStyle* style = StyleForRow(row);
                if (!HasStyle(style)) {
                    // Not imported, and no progress step either.
                    m_report.Add(TSkipReason::NoStyle, row + 1);
                    continue;
                }
                if (const auto at = Convert(*point, row)) {
                    // A failure to create the object, its shape, part or vertex ends the run.
                    auto object = writer.AddObject(opening.layer);
                    auto part = writer.AddShapePart(
                        object.Get(),
                        styleIDs[static_cast<std::size_t>(style - m_inputs.styles.data())]);
                    writer.AddVertex(part.Get(), *at);
                    WriteAttributes(writer, object.Get(), row);
                    ++m_objectCount;
                }
            } else {
                m_report.Add(TSkipReason::NoNumber, row + 1);
            }
            if (StepAndCheckCancel())
                break;
        }
    });
}

void TTextImportRun::RunRings(bool ringsAsShapes) {
    const TImportStyle* entry = Style(0);
    if (!HasStyle(entry))
        throw EUserError(Ansi("Ошибка. Не задан стиль для импорта"));

    TCommonOpening opening(*this);
    const TCSVData& table = *m_inputs.table;
    const TBstr style = HostIdBstr(entry->StyleID.View());

    opening.Run([&] {
        THostWriter& writer = *opening.writer;
        TComPtr<IKavroMapObject> object;
        TComPtr<IKavroContourPart> part;
        const auto openRing = [&] {
            if (!ringsAsShapes || !object) {
                object = writer.AddObject(opening.layer);
                if (!ringsAsShapes)
                    ++m_objectCount;
            }
            part = writer.AddShapePart(object.Get(), style);
            writer.MarkClosed(part.Get());
        };
        openRing();

        // The ring starts at the first row with a whole point (X and Y) that converts, not
        // merely at the first row whose X is a number.
        const int last = table.RowCount() - 1;
        int row = FirstDataRow(table, m_xColumn);
        std::optional<TPlanePoint> start;
        for (; row <= last && !start; ++row) {
            if (const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn))
                start = Convert(*point, row);
            else
                m_report.Add(TSkipReason::NoNumber, row + 1);
        }
        if (start)
            writer.AddVertex(part.Get(), *start);

        bool pending = false;
        for (; row <= last; ++row) {
            const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn);
            if (!point) {
                m_report.Add(TSkipReason::NoNumber, row + 1);
                continue;
            }
            const auto converted = Convert(*point, row);
            if (!converted)
                continue;
            const TPlanePoint p = *converted;
            if (pending) {
                start = p;
                writer.AddVertex(part.Get(), p);
                pending = false;
                continue;
            }
            const long double distance = std::hypot(static_cast<long double>(p.X) - start->X,
                                                    static_cast<long double>(p.Y) - start->Y);
            if (distance <= kRingClosingDistance) {
                // The closing point is not stored: the part carries the closed mark.
                if (row != last) {
                    openRing();
                    pending = true;
                }
                continue;
            }
            writer.AddVertex(part.Get(), p);
            WriteAttributes(writer, object.Get(), row);
            if (StepAndCheckCancel())
                break;
        }
        if (ringsAsShapes)
            ++m_objectCount;
    });
}
