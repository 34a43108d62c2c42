// The attribute targets the wizard proposes for source columns: a field whose name is the
// column's name.
#pragma once

#include "addon/layer_tables.h"
#include "textimport/import_settings.h"

#include <span>

// Gives every mapping without a target the first field, over the tables in order, whose name
// equals the mapping's source name with letter case ignored (the host gives no field captions
// to compare with). Mappings with a target keep it. Returns how many were proposed.
int ProposeFieldTargets(TImportFieldList& fields, std::span<const TLayerTable> tables);

// The target as the wizard's grid shows it: "table caption.field name".
[[nodiscard]] AnsiString FieldTargetText(const TLayerTable& table, const TLayerTableField& field);
