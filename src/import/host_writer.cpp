// Host calls shared by the point writers.
#include "pts/host_points.h"

#include "host_api/host_errors.h"

AnsiString CutHostId(std::string_view id) {
    return AnsiString(id.substr(0, 15));
}

TComPtr<IKavroMapObjects> HostMapObjects(IKavroDb* database) {
    TComPtr<IKavroMapObjects> objects;
    OleCheck(database->get_MapObjects(objects.Put()));
    return objects;
}

TComPtr<IKavroSemTable> HostSemTable(IKavroDb* database, BSTR tableId) {
    TComPtr<IKavroSemTable> table;
    OleCheck(database->GetSemTable(tableId, table.Put()));
    return table;
}

AnsiString HostTableName(IKavroSemTable* table, std::u16string& wideName) {
    TBstr name;
    OleCheck(table->get_Name(name.Put()));
    wideName = name.Str();
    return WideToAnsi(wideName);
}

std::int32_t HostTableMode(IKavroSemTable* table) {
    std::int32_t mode = 0;
    OleCheck(table->get_Mode(&mode));
    return mode;
}

TComPtr<IKavroMapObject> AddPointObject(IKavroMapObjects* objects, BSTR layerId, BSTR styleId,
                                        double x, double y) {
    TComPtr<IKavroMapObject> object;
    OleCheck(objects->Add(layerId, object.Put()));
    TComPtr<IKavroShapes> shapes;
    OleCheck(object->get_Shapes(shapes.Put()));
    TComPtr<IKavroShape> shape;
    OleCheck(shapes->Add(-1, styleId, shape.Put()));
    TComPtr<IKavroContour> contour;
    OleCheck(shape->get_Contour(contour.Put()));
    TComPtr<IKavroContourPart> part;
    OleCheck(contour->Add(-1, part.Put()));
    OleCheck(part->AddVertex(-1, x, y, 0));
    return object;
}

TComPtr<IKavroSemData> ObjectSemData(IKavroMapObject* object) {
    TComPtr<IKavroSemData> data;
    OleCheck(object->get_SemData(data.Put()));
    return data;
}

std::int32_t NewRecordIndex(IKavroSemData* data, BSTR tableName) {
    std::int32_t index = 0;
    OleCheck(data->NewRecordIndex(tableName, &index));
    return index;
}

void SetSemValue(IKavroSemData* data, BSTR tableName, BSTR fieldName, const TVariant& value,
                 std::int32_t recordIndex) {
    OleCheck(data->SetValue(tableName, fieldName, value.Raw(), recordIndex));
}

void CommitMapObjects(IKavroMapObjects* objects) {
    OleCheck(objects->Commit());
}

void ShowHostRect(IKavroApplication* application, double minX, double minY, double maxX,
                  double maxY) {
    OleCheck(application->ShowRect(minX, minY, maxX, maxY, kShowRectMoveView));
}
