// What the SDR wizard offers for the values of a point: the attribute tables of the chosen
// layer, and the fields of a table that can take the point number, the height or the date.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"
#include "platform/com/unknown.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace SDRImporter {

// Receives one entry of a choice list: the value the wizard reads and the caption it shows.
using TAddChoice = std::function<void(const AnsiString& value, const AnsiString& caption)>;

// Field type codes that can take the point number and the height (text, integer and real
// kinds), and those that can take the import date (text and date kinds).
inline constexpr std::int32_t kSdrNumberFieldTypes[] = {10, 20, 22, 30, 31, 11, 23};
inline constexpr std::int32_t kSdrDateFieldTypes[] = {10, 40, 41, 42, 11};

// Reports the attribute tables of the layer in the host's order: the table's id and its name.
// A host failure raises after the tables reported so far.
void ForEachLayerTable(IKavroDb& database, std::string_view layerId, const TAddChoice& add);

// Reports the fields of the table whose type code is one of `types`, in the host's order, with
// the field's name as value and as caption (the host gives a field no other display text). The
// host's key fields ID and SIMID, in any letter case, are never reported. A host failure raises
// after the fields reported so far.
void ForEachFieldOfTypes(IKavroSemTable& table, std::span<const std::int32_t> types,
                         const TAddChoice& add);

} // namespace SDRImporter
