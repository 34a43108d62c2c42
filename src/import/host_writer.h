// Host calls shared by the point writers: map objects, one-point objects and attribute values.
#pragma once

#include "host_api/automation_api.h"
#include "platform/codepage.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

// Host identifiers (layers, styles, tables) hold at most 15 characters; longer ones are cut.
[[nodiscard]] AnsiString CutHostId(std::string_view id);

[[nodiscard]] TComPtr<IKavroMapObjects> HostMapObjects(IKavroDb* database);
[[nodiscard]] TComPtr<IKavroSemTable> HostSemTable(IKavroDb* database, BSTR tableId);
[[nodiscard]] AnsiString HostTableName(IKavroSemTable* table, std::u16string& wideName);
[[nodiscard]] std::int32_t HostTableMode(IKavroSemTable* table);

// A new object of the layer whose one shape of the style is the point (x, y): the object,
// a shape appended with the style, a contour part and one vertex.
[[nodiscard]] TComPtr<IKavroMapObject> AddPointObject(IKavroMapObjects* objects, BSTR layerId,
                                                      BSTR styleId, double x, double y);
[[nodiscard]] TComPtr<IKavroSemData> ObjectSemData(IKavroMapObject* object);
[[nodiscard]] std::int32_t NewRecordIndex(IKavroSemData* data, BSTR tableName);
void SetSemValue(IKavroSemData* data, BSTR tableName, BSTR fieldName, const TVariant& value,
                 std::int32_t recordIndex);
void CommitMapObjects(IKavroMapObjects* objects);
// Moves the host's view to the rectangle.
void ShowHostRect(IKavroApplication* application, double minX, double minY, double maxX,
                  double maxY);

// A BSTR made once from Windows-1251 text.
[[nodiscard]] inline TBstr AnsiBstr(std::string_view text) {
    return TBstr(AnsiToWide(text));
}
