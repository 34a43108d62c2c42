// The PTS wizard's table and field lists.
#include "pts/pts_field_lists.h"

#include "addon/custom_addon.h"
#include "addon/layer_tables.h"
#include "host_api/host_errors.h"
#include "platform/com/bstr.h"
#include "platform/exception.h"
#include "text/text_rules.h"

#include <algorithm>

namespace PtsImportForms {

std::vector<TTableChoice> ReadLayerTableChoices(const TQmCustomAddon& addon,
                                                std::string_view layerId) {
    TQmIDsList ids;
    addon.GISDatabase().GetTableIDs(TQmID::From(layerId), ids);
    std::int32_t count = 0;
    if (ids)
        ids.Count(count);
    if (count <= 0)
        throw EUserError(Ansi("семантическая таблица не найдена"));
    std::vector<TTableChoice> tables;
    tables.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        TQmID id{};
        ids.Get(i, id);
        TQmTableInfo info{};
        addon.GISDatabase().GetTableInfo(id, info);
        tables.push_back({info.name.Str(), {id.Str(), info.caption.Str()}});
    }
    return tables;
}

bool IsNumberFieldType(std::int32_t typeCode) {
    constexpr std::int32_t kCodes[] = {10, 20, 22, 30, 31, 11, 23};
    return std::find(std::begin(kCodes), std::end(kCodes), typeCode) != std::end(kCodes);
}

bool IsCommentFieldType(std::int32_t typeCode) {
    return typeCode == 10 || typeCode == 11;
}

TFieldChoices ReadFieldChoices(IKavroDb& database, std::string_view tableId) {
    const TComPtr<IKavroSemTable> table = AttributeTable(database, tableId);
    std::int32_t count = 0;
    OleCheck(table->get_FieldCount(&count));
    TFieldChoices choices;
    for (std::int32_t i = 0; i < count; ++i) {
        TBstr defName;
        std::int32_t defType = 0;
        OleCheck(table->GetFieldDef(i, defName.Put(), &defType));
        TBstr name;
        OleCheck(table->GetFieldName(defName.Get(), name.Put()));
        const AnsiString fieldName = WideToAnsi(name.View());
        if (IsHostKeyField(fieldName))
            continue;
        // The type of the field under the name that attribute writes take.
        std::int32_t type = 0;
        OleCheck(table->GetFieldType(name.Get(), &type));
        if (IsNumberFieldType(type))
            choices.numberFields.push_back(fieldName);
        if (IsCommentFieldType(type))
            choices.commentFields.push_back(fieldName);
    }
    return choices;
}

int ReselectIndex(const std::vector<AnsiString>& items, const std::optional<AnsiString>& previous) {
    if (items.empty())
        return -1;
    if (previous) {
        const auto found = std::find(items.begin(), items.end(), *previous);
        if (found != items.end())
            return static_cast<int>(found - items.begin());
    }
    return 0;
}

} // namespace PtsImportForms
