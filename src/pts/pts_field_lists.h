// What the PTS wizard's table and field lists offer: the attribute tables of the chosen style's
// layer and, of the selected table, the fields that can take a point's number or comment.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class TQmCustomAddon;

namespace PtsImportForms {

// One entry of the table list.
struct TTableInfo {
    // The host's table identifier, at most 15 characters.
    AnsiString Id;
    // The second text of the host's table description (its display name); kept, not used.
    AnsiString Name;
};

struct TTableChoice {
    // What the list shows: the table's name.
    AnsiString text;
    TTableInfo info;
};

// The layer's attribute tables in the host's order. A layer without any raises
// "семантическая таблица не найдена"; host failures raise EHResultError.
[[nodiscard]] std::vector<TTableChoice> ReadLayerTableChoices(const TQmCustomAddon& addon,
                                                              std::string_view layerId);

// Field type codes that can take a point number (text, integer and real kinds) and a comment
// (text kinds only).
[[nodiscard]] bool IsNumberFieldType(std::int32_t typeCode);
[[nodiscard]] bool IsCommentFieldType(std::int32_t typeCode);

struct TFieldChoices {
    std::vector<AnsiString> numberFields;
    std::vector<AnsiString> commentFields;
};

// The fields of the table with that identifier, in the host's order, without the host's key
// fields ID and SIMID (any letter case), split by what they can take. Host failures raise.
[[nodiscard]] TFieldChoices ReadFieldChoices(IKavroDb& database, std::string_view tableId);

// The entry to select in a refilled list: the one whose text was selected before, else the
// first; -1 for an empty list.
[[nodiscard]] int ReselectIndex(const std::vector<AnsiString>& items,
                                const std::optional<AnsiString>& previous);

} // namespace PtsImportForms
