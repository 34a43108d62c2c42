// The text import run's summary.
#include "textimport/text_run_summary.h"

#include "import/run_summary.h"

#include <algorithm>

namespace {

AnsiString ColumnText(const AnsiString& name) {
    return name.empty() ? Ansi("(не выбран)") : QuotedName(name);
}

} // namespace

AnsiString TextImportMethodCaption(int method) {
    switch (static_cast<TTextImportMethod>(method)) {
    case TTextImportMethod::RingsAsObjects:
        return Ansi("Импортировать как набор точек объекта");
    case TTextImportMethod::RingsAsShapes:
        return Ansi("Импортировать как объект с несколькими формами");
    case TTextImportMethod::RowsAsObjects:
        return Ansi("Импортировать как несколько объектов");
    }
    return {};
}

std::vector<AnsiString> TextRunSummary(const TTextImportInputs& in, const TTextRunNames& names) {
    std::vector<AnsiString> lines;
    const int rowCount = in.table ? in.table->RowCount() : 0;
    const int xColumn = FindColumn(in.columnNames, in.xColumnName);
    const int first =
        in.table && xColumn >= 0 ? TTextImportRun::FirstDataRow(*in.table, xColumn) : 0;
    const int rows = std::max(0, rowCount - first);
    AnsiString rowsLine =
        Ansi("К импорту: ") + CountText(rows, {"строка", "строки", "строк"}) + Ansi(" таблицы");
    if (rows > 0)
        rowsLine += Ansi(" (с ") + std::to_string(first + 1) + Ansi(" по ") +
                    std::to_string(rowCount) + ')';
    lines.push_back(rowsLine);
    lines.push_back(Ansi("Метод: ") + TextImportMethodCaption(in.method));
    lines.push_back(Ansi("Координата X: столбец ") + ColumnText(in.xColumnName) +
                    Ansi(", Y: столбец ") + ColumnText(in.yColumnName));

    lines.push_back(LayerSummaryLine(names.map, names.layer));
    const bool byClassifier =
        in.classifierColumn >= 0 && in.method == static_cast<int>(TTextImportMethod::RowsAsObjects);
    if (!byClassifier) {
        const bool styled = !in.styles.empty() && HasStyle(&in.styles[0]) && !names.styles.empty();
        lines.push_back(StyleSummaryLine(styled ? names.styles[0] : AnsiString()));
    } else {
        const std::int64_t styled = std::count_if(
            in.styles.begin(), in.styles.end(), [](const TImportStyle& s) { return HasStyle(&s); });
        const auto column = static_cast<std::size_t>(in.classifierColumn);
        const AnsiString classifier =
            column < in.columnNames.size() ? in.columnNames[column] : AnsiString();
        lines.push_back(Ansi("Стиль: по значению столбца ") + ColumnText(classifier) +
                        Ansi(", задан для ") + std::to_string(styled) + Ansi(" из ") +
                        CountText(static_cast<std::int64_t>(in.styles.size()),
                                  {"значения", "значений", "значений"}));
        if (styled < static_cast<std::int64_t>(in.styles.size()))
            lines.push_back(Ansi("Строки со значениями без стиля будут пропущены"));
    }

    const std::int64_t mapped =
        std::count_if(in.fields.begin(), in.fields.end(), [](const TImportField& f) {
            return !f.TableID.Empty() && !f.FieldName.empty();
        });
    lines.push_back(mapped == 0 ? Ansi("Значения атрибутов не импортируются")
                                : Ansi("Значения атрибутов: ") +
                                      CountText(mapped, {"столбец", "столбца", "столбцов"}));
    lines.push_back(TransformationSummaryLine(in.transformation));
    return lines;
}
