#include "addon/layer_tables.h"

#include "host_api/host_errors.h"
#include "platform/com/bstr.h"
#include "text/text_rules.h"

#include <algorithm>
#include <exception>

namespace {

constexpr std::size_t kMaxIdLength = 15;

AnsiString FromBstr(const TBstr& text) {
    return WideToAnsi(text.View());
}

// Calls `each` with the name and the type code of every field of the table in the host's
// order, without the host's key fields. Host failures raise after the fields reported so far.
template <class Each> void ForEachField(IKavroSemTable& table, Each&& each) {
    std::int32_t count = 0;
    OleCheck(table.get_FieldCount(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TBstr defName;
        std::int32_t type = 0;
        OleCheck(table.GetFieldDef(i, defName.Put(), &type));
        const AnsiString definition = FromBstr(defName);
        if (IsHostKeyField(definition))
            continue;
        TBstr name;
        OleCheck(table.GetFieldName(defName.Get(), name.Put()));
        AnsiString fieldName = FromBstr(name);
        if (IsHostKeyField(fieldName))
            continue;
        each(std::move(fieldName), type);
    }
}

// Calls `each` with every attribute table of the layer in the host's order.
template <class Each> void ForEachTable(IKavroDb& database, std::string_view layerId, Each&& each) {
    const TBstr id(AnsiToWide(layerId));
    TComPtr<IKavroLayer> layer = FetchHostObject<IKavroLayer>(
        [&](IKavroLayer** p) { return database.GetLayer(id.Get(), p); });
    TComPtr<IKavroSemTables> tables = FetchHostObject<IKavroSemTables>(
        [&](IKavroSemTables** p) { return layer->get_SemTables(p); });
    std::int32_t count = 0;
    OleCheck(tables->get_Count(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TComPtr<IKavroSemTable> table =
            FetchHostObject<IKavroSemTable>([&](IKavroSemTable** p) { return tables->Item(i, p); });
        each(*table.Get());
    }
}

// The caption and fields are read on a best-effort basis: a failure keeps what was read.
void ReadCaptionAndFields(IKavroSemTable& table, TLayerTable& entry) {
    try {
        TBstr caption;
        OleCheck(table.get_Caption(caption.Put()));
        entry.caption = FromBstr(caption);
        ForEachField(table, [&entry](AnsiString name, std::int32_t type) {
            entry.fields.push_back({std::move(name), type});
        });
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
    ForEachTable(database, layerId,
                 [this](IKavroSemTable& table) { m_tables.push_back(ReadTable(table)); });
}

std::vector<TTableChoice> LayerTableChoices(IKavroDb& database, std::string_view layerId) {
    std::vector<TTableChoice> choices;
    ForEachTable(database, layerId, [&choices](IKavroSemTable& table) {
        TBstr id;
        OleCheck(table.get_ID(id.Put()));
        TBstr name;
        OleCheck(table.get_Name(name.Put()));
        choices.push_back({FromBstr(id).substr(0, kMaxIdLength), FromBstr(name)});
    });
    return choices;
}

void AppendFieldsOfTypes(IKavroSemTable& table, std::span<const std::int32_t> types,
                         std::vector<AnsiString>& names) {
    ForEachField(table, [&](AnsiString name, std::int32_t type) {
        if (std::find(types.begin(), types.end(), type) != types.end())
            names.push_back(std::move(name));
    });
}

std::vector<AnsiString> FieldsOfTypes(IKavroSemTable& table, std::span<const std::int32_t> types) {
    std::vector<AnsiString> names;
    AppendFieldsOfTypes(table, types, names);
    return names;
}
