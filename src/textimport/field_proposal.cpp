// Proposed attribute targets.
#include "textimport/field_proposal.h"

#include "text/text_rules.h"

namespace {

// The first field of the tables named `name` with letter case ignored.
bool Propose(TImportField& mapping, std::span<const TLayerTable> tables) {
    for (const TLayerTable& table : tables)
        for (const TLayerTableField& field : table.fields)
            if (AnsiSameText(field.name, mapping.SourceName)) {
                mapping.TableID = TQmID::From(table.id);
                mapping.FieldName = field.name;
                mapping.FieldType = field.type;
                return true;
            }
    return false;
}

} // namespace

int ProposeFieldTargets(TImportFieldList& fields, std::span<const TLayerTable> tables) {
    int proposed = 0;
    for (int i = 0; i < fields.Count(); ++i) {
        TImportField& mapping = fields[i];
        if (mapping.TableID.Empty() || mapping.FieldName.empty())
            proposed += Propose(mapping, tables) ? 1 : 0;
    }
    return proposed;
}

AnsiString FieldTargetText(const TLayerTable& table, const TLayerTableField& field) {
    return table.caption + "." + field.name;
}
