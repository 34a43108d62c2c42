#include "text_import_run.h"

#include "coords/import_transformation.h"
#include "host_api/host_errors.h"
#include "ui/user_interaction.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Two transformed points closer than this close a ring.
constexpr long double kRingClosingDistance = 1e-15L;

TBstr Wide(std::string_view text) {
    return TBstr(AnsiToWide(text));
}

// Calls a host method that returns a new interface, raising the host's message on failure.
template <class T, class Call> TComPtr<T> Fetch(Call call) {
    TComPtr<T> result;
    OleCheck(call(result.Put()));
    if (!result)
        throw EUserError(Ansi("Приложение не вернуло запрошенный объект"));
    return result;
}

TComPtr<IKavroMapObject> AddObject(IKavroMapObjects* objects, BSTR layer) {
    return Fetch<IKavroMapObject>([&](IKavroMapObject** p) { return objects->Add(layer, p); });
}

// Adds a shape with the style to the object and a part to the shape's contour.
TComPtr<IKavroContourPart> AddShapeWithPart(IKavroMapObject* object, BSTR style) {
    auto shapes = Fetch<IKavroShapes>([&](IKavroShapes** p) { return object->get_Shapes(p); });
    auto shape = Fetch<IKavroShape>([&](IKavroShape** p) { return shapes->Add(-1, style, p); });
    auto contour = Fetch<IKavroContour>([&](IKavroContour** p) { return shape->get_Contour(p); });
    return Fetch<IKavroContourPart>([&](IKavroContourPart** p) { return contour->Add(-1, p); });
}

void AddVertex(IKavroContourPart* part, const TImportPoint& point) {
    OleCheck(part->AddVertex(-1, point.x, point.y, 0));
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A 32-bit integer: leading blanks, one optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X"; nothing may follow and the value must fit.
std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const std::string_view digits = text.substr(i);
    if (digits.empty())
        return std::nullopt;
    for (const char c : digits)
        if (base == 10 ? !IsDigit(c) : !IsHexDigit(c))
            return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    if (magnitude > limit)
        return std::nullopt;
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                    : static_cast<std::int32_t>(magnitude);
}

} // namespace

// What every method does first and last: the map-object collection, the column names, the
// resolved attribute targets and the progress; the collection is committed exactly once when
// the method ends, also when it ends by an error.
class TTextImportRun::TCommonOpening {
public:
    explicit TCommonOpening(TTextImportRun& run) : m_run(run) {
        run.m_objectCount = 0;
        run.m_db = Fetch<IKavroDb>(
            [&](IKavroDb** p) { return run.m_inputs.application->get_ActiveDb(p); });
        objects = Fetch<IKavroMapObjects>(
            [&](IKavroMapObjects** p) { return run.m_db->get_MapObjects(p); });
    }

    // Resolves the columns and attribute targets, starts the progress, runs the method's body
    // and commits after it, whatever happens.
    template <class Body> void Run(Body body) {
        try {
            const auto& in = m_run.m_inputs;
            m_run.m_xColumn = FindColumn(in.columnNames, in.xColumnName);
            m_run.m_yColumn = FindColumn(in.columnNames, in.yColumnName);
            info = std::make_unique<TImportDataInfo>(*in.fields, in.columnNames);
            layer = Wide(in.layerID);
            if (in.progress)
                in.progress->StartProgress(Ansi("Импорт графики"), in.table->RowCount());
            body();
        } catch (...) {
            // The body's error is the one to report; a failing commit after it adds nothing.
            objects->Commit();
            info.reset();
            throw;
        }
        info.reset();
        OleCheck(objects->Commit());
    }

    TComPtr<IKavroMapObjects> objects;
    std::unique_ptr<TImportDataInfo> info;
    TBstr layer;

private:
    TTextImportRun& m_run;
};

int TTextImportRun::Execute() {
    CheckParameters();
    if (m_inputs.transformation)
        m_inputs.transformation->PrepareImportTransformation();
    switch (static_cast<TTextImportMethod>(m_inputs.method)) {
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
        throw EUserError(Ansi("Неизвестный метод импорта: ") + std::to_string(m_inputs.method));
    }
    UserInteraction().ShowMessage(Ansi("Процесс завершен. Импортировано ") +
                                  std::to_string(m_objectCount) + Ansi(" объектов."));
    return m_objectCount;
}

void TTextImportRun::CheckParameters() const {
    const auto& in = m_inputs;
    if (!in.table || !in.styles || !in.fields || !in.application)
        throw std::invalid_argument("text import run without table, settings or application");
    if (in.xColumnName.empty())
        throw EUserError(Ansi("Не задано поле с X координатами"));
    if (in.yColumnName.empty())
        throw EUserError(Ansi("Не задано поле с Y координатами"));
    if (in.mapID.empty())
        throw EUserError(Ansi("Не задана карта"));
    if (in.layerID.empty())
        throw EUserError(Ansi("Не задан слой"));
    if (in.classifierColumn < 0 && !in.styles->Empty() && !HasStyle(&(*in.styles)[0]))
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

std::optional<TImportPoint> TTextImportRun::ReadRowPoint(const TCSVData& table, int row,
                                                         int xColumn, int yColumn) {
    if (row < 0 || row >= table.RowCount() || xColumn < 0 || yColumn < 0 ||
        xColumn >= table.ColCount() || yColumn >= table.ColCount())
        return std::nullopt;
    const auto x = ParseNumber(table.Cells(row, xColumn));
    if (!x)
        return std::nullopt;
    const auto y = ParseNumber(table.Cells(row, yColumn));
    if (!y)
        return std::nullopt;
    return TImportPoint{*x, *y};
}

std::optional<double> TTextImportRun::ParseNumber(std::string_view text) {
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    // The number without blanks and sign, with "." as its point, for from_chars.
    char buffer[512]; // longer texts are not numbers
    std::size_t length = 0;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    bool point = false;
    std::size_t digits = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            ++digits;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            break;
        }
        if (length == sizeof buffer)
            return std::nullopt;
        buffer[length++] = c == ',' ? '.' : c;
    }
    if (digits == 0 && !point)
        return std::nullopt;
    if (digits == 0) {
        // A lone point reads as 0, and nothing may follow it but an exponent.
        length = 0;
        buffer[length++] = '0';
    }
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        if (length + 2 > sizeof buffer)
            return std::nullopt;
        buffer[length++] = 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            buffer[length++] = text[i++];
        std::size_t exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i, ++exponentDigits) {
            if (length == sizeof buffer)
                return std::nullopt;
            buffer[length++] = text[i];
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(buffer, buffer + length, value);
    if (error != std::errc() || stop != buffer + length || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

int TTextImportRun::StyleIndexForRow(int row) const {
    const auto& styles = *m_inputs.styles;
    const int column = m_inputs.classifierColumn;
    if (column < 0)
        return styles.Empty() ? -1 : 0;
    const TCSVData& table = *m_inputs.table;
    if (row < 0 || row >= table.RowCount() || column >= table.ColCount())
        return -1;
    const std::string_view value = table.Cells(row, column);
    for (int i = 0; i < styles.Count(); ++i)
        if (styles[i].Value == value)
            return i;
    return -1;
}

const TImportStyle* TTextImportRun::StyleForRow(int row) const {
    const int index = StyleIndexForRow(row);
    return index < 0 ? nullptr : &(*m_inputs.styles)[index];
}

TVariant TTextImportRun::ConvertCell(std::string_view text, std::int32_t fieldType) {
    if (fieldType >= 20 && fieldType <= 23) {
        const auto value = ParseInteger(text);
        return value ? TVariant::Int(*value) : TVariant::Null();
    }
    if (fieldType >= 30 && fieldType <= 32) {
        const auto value = ParseNumber(text);
        return value ? TVariant::Double(*value) : TVariant::Null();
    }
    return TVariant::Text(AnsiToWide(text));
}

void TTextImportRun::WriteAttributes(IKavroMapObject* object, const TImportDataInfo& info,
                                     int row) {
    const TCSVData& table = *m_inputs.table;
    for (int t = 0; t < info.Tables.Count(); ++t) {
        const TImportTableInfo& tableInfo = info.Tables[t];
        const TBstr tableID = Wide(tableInfo.TableID.View());
        auto semTable = Fetch<IKavroSemTable>(
            [&](IKavroSemTable** p) { return m_db->GetSemTable(tableID.Get(), p); });
        TBstr tableName;
        OleCheck(semTable->get_Name(tableName.Put()));
        for (int f = 0; f < tableInfo.Fields.Count(); ++f) {
            const TImportFieldInfo& field = tableInfo.Fields[f];
            // A mapping whose column has gone (renamed in the grid) has no cell to read.
            if (field.Column < 0 || field.Column >= table.ColCount())
                continue;
            const TVariant value = ConvertCell(table.Cells(row, field.Column), field.FieldType);
            auto data =
                Fetch<IKavroSemData>([&](IKavroSemData** p) { return object->get_SemData(p); });
            const TBstr fieldName = Wide(field.FieldName);
            OleCheck(data->SetValue(tableName.Get(), fieldName.Get(), value.Raw(), 0));
        }
    }
}

TImportPoint TTextImportRun::Transform(TImportPoint point) const {
    // The outcome of a single point is not examined: a point that cannot be converted goes on
    // in source coordinates.
    if (m_inputs.transformation)
        (void)m_inputs.transformation->ConvertPoint(point.x, point.y);
    return point;
}

void TTextImportRun::RunRowsAsObjects() {
    TCommonOpening opening(*this);
    const auto& in = m_inputs;
    const TCSVData& table = *in.table;

    opening.Run([&] {
        // The styles as the host takes them, converted once.
        std::vector<TBstr> styleIDs;
        for (int i = 0; i < in.styles->Count(); ++i)
            styleIDs.push_back(Wide((*in.styles)[i].StyleID.View()));

        for (int row = FirstDataRow(table, m_xColumn); row < table.RowCount(); ++row) {
            if (const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn)) {
                try {
                    const int style = StyleIndexForRow(row);
                    if (style < 0 || !HasStyle(&(*in.styles)[style]))
                        continue; // no style: not imported, and no progress step either
                    auto object = AddObject(opening.objects.Get(), opening.layer.Get());
                    auto part = AddShapeWithPart(object.Get(), styleIDs[style].Get());
                    AddVertex(part.Get(), Transform(*point));
                    WriteAttributes(object.Get(), *opening.info, row);
                    ++m_objectCount;
                } catch (const std::exception& e) {
                    // One row's failure is reported and the run goes on; what the row
                    // created so far stays.
                    UserInteraction().ShowError(ExceptionMessage(e));
                }
            }
            if (in.progress)
                in.progress->StepProgress();
        }
    });
}

void TTextImportRun::RunRings(bool ringsAsShapes) {
    const auto& in = m_inputs;
    const TImportStyle* entry = in.styles->Empty() ? nullptr : &(*in.styles)[0];
    if (!HasStyle(entry))
        throw EUserError(Ansi("Ошибка. Не задан стиль для импорта"));

    TCommonOpening opening(*this);
    const TCSVData& table = *in.table;
    const TBstr style = Wide(entry->StyleID.View());

    opening.Run([&] {
        TComPtr<IKavroMapObject> object;
        TComPtr<IKavroContourPart> part;
        const auto openRing = [&] {
            if (!ringsAsShapes || !object) {
                object = AddObject(opening.objects.Get(), opening.layer.Get());
                if (!ringsAsShapes)
                    ++m_objectCount;
            }
            part = AddShapeWithPart(object.Get(), style.Get());
            OleCheck(part->put_Closed(VARIANT_TRUE));
        };
        openRing();

        // The ring starts at the first row with a whole point (X and Y), not merely at the
        // first row whose X is a number.
        const int last = table.RowCount() - 1;
        int row = FirstDataRow(table, m_xColumn);
        std::optional<TImportPoint> first;
        for (; row <= last && !first; ++row)
            first = ReadRowPoint(table, row, m_xColumn, m_yColumn);
        TImportPoint start{};
        if (first) {
            start = Transform(*first);
            AddVertex(part.Get(), start);
        }

        bool pending = false;
        for (; row <= last; ++row) {
            const auto point = ReadRowPoint(table, row, m_xColumn, m_yColumn);
            if (!point)
                continue;
            const TImportPoint p = Transform(*point);
            if (pending) {
                start = p;
                AddVertex(part.Get(), start);
                pending = false;
                continue;
            }
            const long double distance = std::hypot(static_cast<long double>(p.x) - start.x,
                                                    static_cast<long double>(p.y) - start.y);
            if (distance <= kRingClosingDistance) {
                // The closing point is not stored: the part carries the closed mark.
                if (row != last) {
                    openRing();
                    pending = true;
                }
                continue;
            }
            AddVertex(part.Get(), p);
            WriteAttributes(object.Get(), *opening.info, row);
            if (in.progress)
                in.progress->StepProgress();
        }
        if (ringsAsShapes)
            ++m_objectCount;
    });
}
