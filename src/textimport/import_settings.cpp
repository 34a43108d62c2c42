#include "import_settings.h"

#include "text/text_rules.h"

bool HasStyle(const TImportStyle* entry) {
    return entry && !entry->StyleID.Empty();
}

std::int32_t FindColumn(const std::vector<AnsiString>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (AnsiSameText(names[i], name))
            return static_cast<std::int32_t>(i);
    return -1;
}

TImportDataInfo::TImportDataInfo(const TImportFieldList& mappings,
                                 std::vector<AnsiString> columnNames)
    : ColumnNames(std::move(columnNames)) {
    for (int i = 0; i < mappings.Count(); ++i) {
        const TImportField& mapping = mappings[i];
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
