#include "sdr/sdr_field_choices.h"

#include "addon/layer_tables.h"
#include "host_api/host_errors.h"
#include "platform/com/bstr.h"

#include <algorithm>

namespace SDRImporter {

namespace {

AnsiString TextOf(const TBstr& text) {
    return WideToAnsi(text.View());
}

} // namespace

void ForEachLayerTable(IKavroDb& database, std::string_view layerId, const TAddChoice& add) {
    const TBstr id(AnsiToWide(layerId));
    TComPtr<IKavroLayer> layer;
    OleCheck(database.GetLayer(id.Get(), layer.Put()));
    TComPtr<IKavroSemTables> tables;
    OleCheck(RequireHostObject(layer).get_SemTables(tables.Put()));
    std::int32_t count = 0;
    OleCheck(RequireHostObject(tables).get_Count(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TComPtr<IKavroSemTable> table;
        OleCheck(tables->Item(i, table.Put()));
        TBstr tableId;
        OleCheck(RequireHostObject(table).get_ID(tableId.Put()));
        TBstr name;
        OleCheck(table->get_Name(name.Put()));
        add(TextOf(tableId), TextOf(name));
    }
}

void ForEachFieldOfTypes(IKavroSemTable& table, std::span<const std::int32_t> types,
                         const TAddChoice& add) {
    std::int32_t count = 0;
    OleCheck(table.get_FieldCount(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TBstr defName;
        std::int32_t type = 0;
        OleCheck(table.GetFieldDef(i, defName.Put(), &type));
        TBstr name;
        OleCheck(table.GetFieldName(defName.Get(), name.Put()));
        const AnsiString fieldName = TextOf(name);
        if (IsHostKeyField(fieldName) || IsHostKeyField(TextOf(defName)))
            continue;
        if (std::find(types.begin(), types.end(), type) != types.end())
            add(fieldName, fieldName);
    }
}

} // namespace SDRImporter
