// Run summaries.
#include "import/run_summary.h"

#include "coords/import_transformation.h"

namespace {

// A system without parameters may still have a name (a local one).
AnsiString SystemName(const TCoordinateReferenceDef& def) {
    if (!def.Caption.empty())
        return QuotedName(def.Caption);
    return def.IsUndefined() ? Ansi("(не задана)") : QuotedName(def.ParamsText());
}

} // namespace

AnsiString QuotedName(const AnsiString& name) {
    return Ansi("«") + name + Ansi("»");
}

AnsiString CountText(std::int64_t count, const TNounForms& noun) {
    return std::to_string(count) + ' ' + CountedNoun(count, noun.one, noun.few, noun.many);
}

AnsiString TransformationSummaryLine(const TImportTransformation* transformation) {
    const AnsiString head = Ansi("Преобразование координат: ");
    if (!transformation)
        return head + Ansi("нет");
    if (transformation->Method() == TImportTransformationMethod::CoordinateSystem) {
        const TCoordinateReferenceDef& source = transformation->SourceReference();
        const TCoordinateReferenceDef& target = transformation->DatabaseReference();
        return head + Ansi("из системы ") + SystemName(source) + Ansi(" в систему базы данных ") +
               SystemName(target);
    }
    const TTransformData& chain = transformation->Chain();
    if (chain.Count() == 0)
        return head + Ansi("нет (аффинная цепочка пуста)");
    AnsiString line =
        head + Ansi("аффинное, ") + CountText(chain.Count(), {"шаг", "шага", "шагов"}) + ": ";
    for (int i = 0; i < chain.Count(); ++i) {
        if (i != 0)
            line += "; ";
        line += chain.Get(i).GetDescription();
    }
    return line;
}

AnsiString LayerSummaryLine(const AnsiString& map, const AnsiString& layer) {
    AnsiString line = Ansi("Слой: ") + (layer.empty() ? Ansi("(не выбран)") : QuotedName(layer));
    if (!map.empty())
        line += Ansi(" карты ") + QuotedName(map);
    return line;
}

AnsiString StyleSummaryLine(const AnsiString& style) {
    return Ansi("Стиль: ") + (style.empty() ? Ansi("(не выбран)") : QuotedName(style));
}

std::vector<AnsiString> ReportLines(const TImportReport& report, const TNounForms& imported) {
    std::vector<AnsiString> lines{Ansi("Импортировано: ") + CountText(report.Imported(), imported)};
    const AnsiString skipped = report.SkippedText();
    if (skipped.empty()) {
        lines.push_back(Ansi("Пропущенных строк нет."));
        return lines;
    }
    std::size_t start = 0;
    while (start <= skipped.size()) {
        const std::size_t end = std::min(skipped.find("\r\n", start), skipped.size());
        lines.push_back(skipped.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

AnsiString JoinLines(const std::vector<AnsiString>& lines) {
    AnsiString text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}
