// The attribute tables of a layer and their fields, as the wizards offer them for the values of
// an import: the text wizard's list of every table with its fields, and the tables and the
// fields of chosen type codes that the point wizards' lists show.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct TLayerTableField {
    // The name that attribute writes take.
    AnsiString name;
    // The host's type code.
    std::int32_t type = 0;
};

struct TLayerTable {
    // At most 15 characters.
    AnsiString id;
    // The table's display name.
    AnsiString caption;
    // In the table's order, without the host's own key fields ID and SIMID.
    std::vector<TLayerTableField> fields;
};

// The host's own key fields, ID and SIMID in any letter case, which no import writes.
[[nodiscard]] bool IsHostKeyField(std::string_view name);

// The attribute table with the identifier; host failures raise, and so does a host that
// answers success without the table.
[[nodiscard]] TComPtr<IKavroSemTable> AttributeTable(IKavroDb& database, std::string_view tableId);

class TLayerTableList {
public:
    // Replaces the list with the tables of the layer; empty when the database has no such
    // layer. Host failures raise EOleException and leave the tables read so far, except that a
    // table whose caption or fields fail to read stays in the list with what was read of it.
    void Load(IKavroDb& database, std::string_view layerId);
    void Clear() { m_tables.clear(); }

    [[nodiscard]] int Count() const { return static_cast<int>(m_tables.size()); }
    [[nodiscard]] const TLayerTable& Item(int index) const {
        return m_tables.at(static_cast<std::size_t>(index));
    }
    [[nodiscard]] const std::vector<TLayerTable>& Tables() const { return m_tables; }

private:
    std::vector<TLayerTable> m_tables;
};

// One table of a layer as a choice list shows it.
struct TTableChoice {
    // At most 15 characters.
    AnsiString id;
    // The table's name.
    AnsiString name;
};

// The layer's attribute tables in the host's order. Host failures raise, also a host that
// answers success without an object.
[[nodiscard]] std::vector<TTableChoice> LayerTableChoices(IKavroDb& database,
                                                          std::string_view layerId);

// Appends the names of the table's fields whose type code is one of `types`
// (host_api/field_types.h), in the host's order, without the host's key fields. A host failure
// raises after the names appended so far.
void AppendFieldsOfTypes(IKavroSemTable& table, std::span<const std::int32_t> types,
                         std::vector<AnsiString>& names);
// The same into a new list.
[[nodiscard]] std::vector<AnsiString> FieldsOfTypes(IKavroSemTable& table,
                                                    std::span<const std::int32_t> types);
