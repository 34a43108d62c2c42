#include "addon/layer_tables.h"

#include "host_api/host_errors.h"
#include "platform/com/bstr.h"
#include "text/text_rules.h"

#include <exception>

namespace {

constexpr std::size_t kMaxIdLength = 15;

AnsiString FromBstr(const TBstr& text) {
    return WideToAnsi(text.View());
}

// The caption and fields are read on a best-effort basis: a failure keeps what was read.
void ReadCaptionAndFields(IKavroSemTable& table, TLayerTable& entry) {
    try {
        TBstr caption;
        OleCheck(table.get_Caption(caption.Put()));
        entry.caption = FromBstr(caption);
        std::int32_t count = 0;
        OleCheck(table.get_FieldCount(&count));
        for (std::int32_t i = 0; i < count; ++i) {
            TBstr defName;
            std::int32_t type = 0;
            OleCheck(table.GetFieldDef(i, defName.Put(), &type));
            if (IsHostKeyField(FromBstr(defName)))
                continue;
            TBstr name;
            OleCheck(table.GetFieldName(defName.Get(), name.Put()));
            entry.fields.push_back({FromBstr(name), type});
        }
    } catch (const std::exception&) {
        // The table stays in the list as far as it was read.
    }
}

TLayerTable ReadTable(IKavroSemTable& table) {
    TLayerTable entry;
    TBstr id;
    OleCheck(table.get_ID(id.Put()));
    entry.id = FromBstr(id).substr(0, kMaxIdLength);
    ReadCaptionAndFields(table, entry);
    return entry;
}

} // namespace

bool IsHostKeyField(std::string_view name) {
    return AnsiSameText(name, "ID") || AnsiSameText(name, "SIMID");
}

TComPtr<IKavroSemTable> AttributeTable(IKavroDb& database, std::string_view tableId) {
    const TBstr id(AnsiToWide(tableId));
    return FetchHostObject<IKavroSemTable>(
        [&](IKavroSemTable** p) { return database.GetSemTable(id.Get(), p); });
}

void TLayerTableList::Load(IKavroDb& database, std::string_view layerId) {
    Clear();
    const TBstr id(AnsiToWide(layerId));
    VARIANT_BOOL exists = VARIANT_FALSE;
    OleCheck(database.LayerExists(id.Get(), &exists));
    if (exists == VARIANT_FALSE)
        return;
    TComPtr<IKavroLayer> layer;
    OleCheck(database.GetLayer(id.Get(), layer.Put()));
    TComPtr<IKavroSemTables> tables;
    OleCheck(layer->get_SemTables(tables.Put()));
    std::int32_t count = 0;
    OleCheck(tables->get_Count(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        OleCheck(layer->get_SemTables(tables.Put()));
        TComPtr<IKavroSemTable> table;
        OleCheck(tables->Item(i, table.Put()));
        m_tables.push_back(ReadTable(*table.Get()));
    }
}
