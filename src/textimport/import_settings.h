// The text import choices the wizard keeps (styles per classifier value, attribute targets per
// column) and their resolution into the attribute tables and fields of one run.
#pragma once

#include "owned_list.h"

#include "host_api/short_string.h"
#include "text/csv_data.h"

#include <cstdint>
#include <string_view>
#include <vector>

// One style choice: the classifier value it stands for ("< все >" when the style does not
// depend on a column) and the host style; an empty StyleID means "do not import".
struct TImportStyle {
    explicit TImportStyle(AnsiString value) : Value(std::move(value)) {}

    AnsiString Value;
    TQmID StyleID = TQmID::From("");
};

// True only for an existing entry with a style.
bool HasStyle(const TImportStyle* entry);

// Entry i belongs to row i + 1 of the wizard's style grid; entry 0 serves the ring methods.
using TImportStyleList = TOwnedList<TImportStyle>;

// The attribute target of one source column; nothing is imported while TableID or FieldName
// is empty. FieldType is the host's type code of the field (0 until one is picked).
struct TImportField {
    explicit TImportField(AnsiString sourceName) : SourceName(std::move(sourceName)) {}

    AnsiString SourceName;
    TQmID TableID = TQmID::From("");
    AnsiString FieldName;
    std::int32_t FieldType = 0;
};

// One entry per source column, in column order.
using TImportFieldList = TOwnedList<TImportField>;

// One resolved field: the 0-based source column (-1 when no column has the mapping's name).
struct TImportFieldInfo {
    TImportFieldInfo(std::int32_t column, AnsiString fieldName, std::int32_t fieldType)
        : Column(column), FieldName(std::move(fieldName)), FieldType(fieldType) {}

    std::int32_t Column;
    AnsiString FieldName;
    std::int32_t FieldType;
};

struct TImportTableInfo {
    explicit TImportTableInfo(const TQmID& tableID) : TableID(tableID) {}

    TQmID TableID;
    TOwnedList<TImportFieldInfo> Fields;
};

// What one run needs for attribute values: the target tables in the order of their first
// mapping, each with its fields in column order, and the column names at the start of the run.
class TImportDataInfo {
public:
    TImportDataInfo(const std::vector<TImportField>& mappings, std::vector<AnsiString> columnNames);
    TImportDataInfo(const TImportFieldList& mappings, std::vector<AnsiString> columnNames)
        : TImportDataInfo(mappings.Values(), std::move(columnNames)) {}

    // The first table whose identifier equals `tableID` exactly, or nullptr.
    TImportTableInfo* FindTable(const TQmID& tableID) const;
    // Appends the table; the structure owns it from now on.
    TImportTableInfo& AddTable(std::unique_ptr<TImportTableInfo> table);

    TOwnedList<TImportTableInfo> Tables;
    std::vector<AnsiString> ColumnNames;
};

// The classifier values a style can be chosen for: the column's cells from `firstRow` on, one of
// each with letter case ignored (the one met first), sorted with letter case ignored. A column
// outside the table has none.
[[nodiscard]] std::vector<AnsiString> ClassifierValues(const TCSVData& table, int column,
                                                       int firstRow);
// Whether a row's classifier cell stands for a style entry's value: equal with letter case
// ignored, the rule ClassifierValues groups by.
[[nodiscard]] bool SameClassifierValue(std::string_view cell, std::string_view value);

// Index of the first name equal to `name` with letter case ignored, -1 when none is.
std::int32_t FindColumn(const std::vector<AnsiString>& names, std::string_view name);
