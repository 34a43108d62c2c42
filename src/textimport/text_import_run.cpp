// The text import run.
#include "text_import_run.h"

#include "host_api/host_errors.h"
#include "text/number_text.h"
#include "ui/user_interaction.h"

#include <cmath>
#include <stdexcept>

namespace {

// Two transformed points closer than this close a ring.
constexpr long double kRingClosingDistance = 1e-15L;

} // namespace

// What the run reads, copied from the inputs when it starts: the progress lets window messages
// through, and the wizard's table and lists may change meanwhile.
struct TTextImportRun::TSnapshot {
    explicit TSnapshot(const TTextImportInputs& in)
        : table(*in.table), columnNames(in.columnNames), xColumnName(in.xColumnName),
          yColumnName(in.yColumnName), classifierColumn(in.classifierColumn),
          info(*in.fields, in.columnNames), mapID(in.mapID), layerID(in.layerID),
          method(in.method) {
        styles.reserve(static_cast<std::size_t>(in.styles->Count()));
        for (int i = 0; i < in.styles->Count(); ++i)
            styles.push_back((*in.styles)[i]);
    }

    const TImportStyle* Style(int index) const {
        return index >= 0 && index < static_cast<int>(styles.size()) ? &styles[index] : nullptr;
    }

    TCSVData table;
    std::vector<AnsiString> columnNames;
    AnsiString xColumnName;
    AnsiString yColumnName;
    int classifierColumn;
    std::vector<TImportStyle> styles;
    // The attribute targets resolved against the column names.
    TImportDataInfo info;
    AnsiString mapID;
    AnsiString layerID;
    int method;
};

// What every method does first and last: the host database and a writer on it, the resolved
// columns, the target layer and the progress; the map-object changes are committed when the
// method ends, also when it ends by an error.
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
        WriteAndCommit(*writer, [&] {
            const TSnapshot& data = *m_run.m_snapshot;
            m_run.m_xColumn = FindColumn(data.columnNames, data.xColumnName);
            m_run.m_yColumn = FindColumn(data.columnNames, data.yColumnName);
            layer = AnsiBstr(data.layerID);
            if (m_run.m_inputs.progress)
                m_run.m_inputs.progress->StartProgress(Ansi("Импорт графики"),
                                                       data.table.RowCount());
            body();
        });
    }

    std::unique_ptr<THostWriter> writer;
    TBstr layer;

private:
    TTextImportRun& m_run;
};

TTextImportRun::TTextImportRun(const TTextImportInputs& inputs) : m_inputs(inputs) {}

TTextImportRun::~TTextImportRun() = default;

int TTextImportRun::Execute() {
    const auto& in = m_inputs;
    if (!in.table || !in.styles || !in.fields || !in.application)
        throw std::invalid_argument("text import run without table, settings or application");
    m_snapshot = std::make_unique<TSnapshot>(in);
    // The inputs still equal the snapshot here: nothing has let window messages through yet.
    CheckParameters(in);
    m_conversion = PrepareRunConversion(in.transformation);
    switch (static_cast<TTextImportMethod>(m_snapshot->method)) {
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
        throw EUserError(Ansi("Неизвестный метод импорта: ") + std::to_string(m_snapshot->method));
    }
    UserInteraction().ShowMessage(Ansi("Процесс завершен. Импортировано ") +
                                  std::to_string(m_objectCount) + Ansi(" объектов."));
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
    if (in.classifierColumn < 0 && in.styles && !in.styles->Empty() && !HasStyle(&(*in.styles)[0]))
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

const TImportStyle* TTextImportRun::StyleForRow(int row) const {
    const TSnapshot& data = *m_snapshot;
    const int column = data.classifierColumn;
    if (column < 0)
        return data.Style(0);
    if (row < 0 || row >= data.table.RowCount() || column >= data.table.ColCount())
        return nullptr;
    const std::string_view value = data.table.Cells(row, column);
    for (const TImportStyle& style : data.styles)
        if (style.Value == value)
            return &style;
    return nullptr;
}

TVariant TTextImportRun::ConvertCell(std::string_view text, std::int32_t fieldType) {
    if (fieldType >= 20 && fieldType <= 23) {
        const auto value = ReadRuntimeInteger(text);
        return value ? TVariant::Int(*value) : TVariant::Null();
    }
    if (fieldType >= 30 && fieldType <= 32) {
        const auto value = ParseNumber(text);
        return value ? TVariant::Double(*value) : TVariant::Null();
    }
    return TVariant::Text(AnsiToWide(text));
}

void TTextImportRun::WriteAttributes(THostWriter& writer, IKavroMapObject* object, int row) {
    const TSnapshot& data = *m_snapshot;
    // The table and the object's attribute data are fetched anew for every row and field.
    for (int t = 0; t < data.info.Tables.Count(); ++t) {
        const TImportTableInfo& tableInfo = data.info.Tables[t];
        const THostTable table(writer.Database(), HostIdBstr(tableInfo.TableID.View()),
                               TRecordRule::ObjectRecord);
        for (int f = 0; f < tableInfo.Fields.Count(); ++f) {
            const TImportFieldInfo& field = tableInfo.Fields[f];
            // A mapping whose column has gone (renamed in the grid) has no cell to read.
            if (field.Column < 0 || field.Column >= data.table.ColCount())
                continue;
            const TVariant value =
                ConvertCell(data.table.Cells(row, field.Column), field.FieldType);
            TObjectValues values(object, table);
            values.Set(AnsiBstr(field.FieldName), value);
        }
    }
}

void TTextImportRun::RunRowsAsObjects() {
    TCommonOpening opening(*this);
    const TSnapshot& data = *m_snapshot;
    const TCSVData& table = data.table;
    TProgress* const progress = m_inputs.progress;

    opening.Run([&] {
        // The styles as the host takes them, converted once.
        std::vector<TBstr> styleIDs;
        styleIDs.reserve(data.styles.size());
        for (const TImportStyle& style : data.styles)
            styleIDs.push_back(HostIdBstr(style.StyleID.View()));
        THostWriter& writer = *opening.writer;

        for (int row = FirstDataRow(table, m_xColumn); row < table.RowCount(); ++row) {
            if (const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn)) {
                try {
                    const TImportStyle* style = StyleForRow(row);
                    if (!HasStyle(style))
                        continue; // no style: not imported, and no progress step either
                    auto object = writer.AddObject(opening.layer);
                    auto part = writer.AddShapePart(
                        object.Get(),
                        styleIDs[static_cast<std::size_t>(style - data.styles.data())]);
                    writer.AddVertex(part.Get(), m_conversion.Convert(*point));
                    WriteAttributes(writer, object.Get(), row);
                    ++m_objectCount;
                } catch (const std::exception& e) {
                    // One row's failure is reported and the run goes on; what the row
                    // created so far stays.
                    UserInteraction().ShowError(ExceptionMessage(e));
                }
            }
            if (progress)
                progress->StepProgress();
        }
    });
}

void TTextImportRun::RunRings(bool ringsAsShapes) {
    const TSnapshot& data = *m_snapshot;
    const TImportStyle* entry = data.Style(0);
    if (!HasStyle(entry))
        throw EUserError(Ansi("Ошибка. Не задан стиль для импорта"));

    TCommonOpening opening(*this);
    const TCSVData& table = data.table;
    const TBstr style = HostIdBstr(entry->StyleID.View());
    TProgress* const progress = m_inputs.progress;

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

        // The ring starts at the first row with a whole point (X and Y), not merely at the
        // first row whose X is a number.
        const int last = table.RowCount() - 1;
        int row = FirstDataRow(table, m_xColumn);
        std::optional<TPlanePoint> first;
        for (; row <= last && !first; ++row)
            first = ReadRowPoint(table, row, m_xColumn, m_yColumn);
        TPlanePoint start{};
        if (first) {
            start = m_conversion.Convert(*first);
            writer.AddVertex(part.Get(), start);
        }

        bool pending = false;
        for (; row <= last; ++row) {
            const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn);
            if (!point)
                continue;
            const TPlanePoint p = m_conversion.Convert(*point);
            if (pending) {
                start = p;
                writer.AddVertex(part.Get(), start);
                pending = false;
                continue;
            }
            const long double distance = std::hypot(static_cast<long double>(p.X) - start.X,
                                                    static_cast<long double>(p.Y) - start.Y);
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
            if (progress)
                progress->StepProgress();
        }
        if (ringsAsShapes)
            ++m_objectCount;
    });
}
