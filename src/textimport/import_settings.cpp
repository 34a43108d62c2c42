#include "import_settings.h"

#include "text/text_rules.h"

#include <algorithm>
#include <utility>

bool HasStyle(const TImportStyle* entry) {
    return entry && !entry->StyleID.Empty();
}

std::int32_t FindColumn(const std::vector<AnsiString>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (AnsiSameText(names[i], name))
            return static_cast<std::int32_t>(i);
    return -1;
}

bool SameClassifierValue(std::string_view cell, std::string_view value) {
    return AnsiSameText(cell, value);
}

std::vector<AnsiString> ClassifierValues(const TCSVData& table, int column, int firstRow) {
    std::vector<AnsiString> values;
    if (column < 0 || column >= table.ColCount())
        return values;
    for (int row = std::max(firstRow, 0); row < table.RowCount(); ++row)
        values.emplace_back(table.Cells(row, column));
    const auto upper = [](std::string_view text) {
        AnsiString out(text);
        for (char& c : out)
            c = AnsiUpperChar(c);
        return out;
    };
    std::vector<std::pair<AnsiString, std::size_t>> keyed;
    keyed.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        keyed.emplace_back(upper(values[i]), i);
    // Sorted by the upper-case form, first met first among equals; then one of each.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    keyed.erase(std::unique(keyed.begin(), keyed.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                keyed.end());
    std::vector<AnsiString> distinct;
    distinct.reserve(keyed.size());
    for (const auto& k : keyed)
        distinct.push_back(std::move(values[k.second]));
    return distinct;
}

TImportDataInfo::TImportDataInfo(const std::vector<TImportField>& mappings,
                                 std::vector<AnsiString> columnNames)
    : ColumnNames(std::move(columnNames)) {
    for (const TImportField& mapping : mappings) {
        if (mapping.TableID.Empty() || mapping.FieldName.empty())
            continue;
        TImportTableInfo* table = FindTable(mapping.TableID);
        if (!table)
            table = &AddTable(std::make_unique<TImportTableInfo>(mapping.TableID));
        table->Fields.Emplace(FindColumn(ColumnNames, mapping.SourceName), mapping.FieldName,
                              mapping.FieldType);
    }
}

TImportTableInfo* TImportDataInfo::FindTable(const TQmID& tableID) const {
    for (int i = 0; i < Tables.Count(); ++i)
        if (Tables[i].TableID == tableID)
            return &Tables[i];
    return nullptr;
}

TImportTableInfo& TImportDataInfo::AddTable(std::unique_ptr<TImportTableInfo> table) {
    return Tables.Add(std::move(table));
}
