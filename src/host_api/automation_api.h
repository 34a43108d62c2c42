// The host's automation API (IKavro*): dual interfaces with wide strings and VARIANTs.
// A failing method returns a negative HRESULT and leaves its message in the thread's error
// information (GetErrorInfo). Interface identifiers are fixed here.
//
// Positions: -1 appends. Type codes of attribute fields are the host's own (10, 11 texts;
// 20-23 integers; 30-32 floating point; 40-42 dates and others).
#pragma once

#include "platform/com/dispatch.h"

struct IKavroDb;
struct IKavroProjectView;
struct IKavroLayer;
struct IKavroStyles;
struct IKavroStyle;
struct IKavroSemTables;
struct IKavroSemTable;
struct IKavroMapObjects;
struct IKavroMapObject;
struct IKavroShapes;
struct IKavroShape;
struct IKavroContour;
struct IKavroContourPart;
struct IKavroSemData;

// The flag of ShowRect that moves the view to the rectangle.
constexpr std::int32_t kShowRectMoveView = 1;

struct IKavroApplication : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ActiveDb(IKavroDb** db) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ProjectView(IKavroProjectView** view) = 0;
    // The settings store: a missing key yields the default.
    virtual HRESULT STDMETHODCALLTYPE GetSetting(BSTR key, BSTR defaultValue, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSetting(BSTR key, BSTR value) = 0;
    // The host's folder; the outside coordinate-system library lies in it or below it.
    virtual HRESULT STDMETHODCALLTYPE get_Folder(BSTR* folder) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowRect(double minX, double minY, double maxX, double maxY,
                                               std::int32_t flags) = 0;

protected:
    ~IKavroApplication() = default;
};

// The maps and layers of the open project as the user sees them.
struct IKavroProjectView : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_MapCount(std::int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMap(std::int32_t index, BSTR* id, BSTR* name) = 0;
    // An unknown map has no layers (count 0, S_FALSE).
    virtual HRESULT STDMETHODCALLTYPE GetLayerCount(BSTR mapId, std::int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLayer(BSTR mapId, std::int32_t index, BSTR* id,
                                               BSTR* name) = 0;
    // Empty when there is none.
    virtual HRESULT STDMETHODCALLTYPE get_ActiveMap(BSTR* mapId) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ActiveLayer(BSTR* layerId) = 0;

protected:
    ~IKavroProjectView() = default;
};

struct IKavroDb : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE LayerExists(BSTR layerId, VARIANT_BOOL* exists) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLayer(BSTR layerId, IKavroLayer** layer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSemTable(BSTR tableId, IKavroSemTable** table) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MapObjects(IKavroMapObjects** objects) = 0;

protected:
    ~IKavroDb() = default;
};

struct IKavroLayer : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Styles(IKavroStyles** styles) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SemTables(IKavroSemTables** tables) = 0;

protected:
    ~IKavroLayer() = default;
};

struct IKavroStyles : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(std::int32_t index, IKavroStyle** style) = 0;

protected:
    ~IKavroStyles() = default;
};

struct IKavroStyle : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;

protected:
    ~IKavroStyle() = default;
};

struct IKavroSemTables : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Item(std::int32_t index, IKavroSemTable** table) = 0;

protected:
    ~IKavroSemTables() = default;
};

// An attribute (semantic) table with its field definitions.
struct IKavroSemTable : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) = 0;
    // The name that attribute writes take.
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    // The display name shown to the user.
    virtual HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) = 0;
    // 0: one record per object; 1: records are created per value (NewRecordIndex).
    virtual HRESULT STDMETHODCALLTYPE get_Mode(std::int32_t* mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FieldCount(std::int32_t* count) = 0;
    // The field definition at index: its definition name and type code.
    virtual HRESULT STDMETHODCALLTYPE GetFieldDef(std::int32_t index, BSTR* defName,
                                                  std::int32_t* type) = 0;
    // The field collection: the field name (as attribute writes take it) of a definition name.
    virtual HRESULT STDMETHODCALLTYPE GetFieldName(BSTR defName, BSTR* name) = 0;
    // The type code of the field with that name.
    virtual HRESULT STDMETHODCALLTYPE GetFieldType(BSTR name, std::int32_t* type) = 0;

protected:
    ~IKavroSemTable() = default;
};

struct IKavroMapObjects : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Add(BSTR layerId, IKavroMapObject** object) = 0;
    // Commits the map-object changes made since the last commit.
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;

protected:
    ~IKavroMapObjects() = default;
};

struct IKavroMapObject : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ID(std::int32_t* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Shapes(IKavroShapes** shapes) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SemData(IKavroSemData** data) = 0;

protected:
    ~IKavroMapObject() = default;
};

struct IKavroShapes : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Add(std::int32_t position, BSTR styleId,
                                          IKavroShape** shape) = 0;

protected:
    ~IKavroShapes() = default;
};

struct IKavroShape : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Contour(IKavroContour** contour) = 0;

protected:
    ~IKavroShape() = default;
};

struct IKavroContour : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Add(std::int32_t position, IKavroContourPart** part) = 0;

protected:
    ~IKavroContour() = default;
};

struct IKavroContourPart : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE AddVertex(std::int32_t position, double x, double y,
                                                double z) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Closed(VARIANT_BOOL closed) = 0;

protected:
    ~IKavroContourPart() = default;
};

// The attribute values of one object.
struct IKavroSemData : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE NewRecordIndex(BSTR tableName, std::int32_t* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetValue(BSTR tableName, BSTR fieldName, VARIANT value,
                                               std::int32_t recordIndex) = 0;

protected:
    ~IKavroSemData() = default;
};

TI_DECLARE_IID(IKavroApplication, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F01}");
TI_DECLARE_IID(IKavroProjectView, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F02}");
TI_DECLARE_IID(IKavroDb, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F03}");
TI_DECLARE_IID(IKavroLayer, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F04}");
TI_DECLARE_IID(IKavroStyles, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F05}");
TI_DECLARE_IID(IKavroStyle, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F06}");
TI_DECLARE_IID(IKavroSemTables, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F07}");
TI_DECLARE_IID(IKavroSemTable, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F08}");
TI_DECLARE_IID(IKavroMapObjects, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F09}");
TI_DECLARE_IID(IKavroMapObject, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0A}");
TI_DECLARE_IID(IKavroShapes, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0B}");
TI_DECLARE_IID(IKavroShape, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0C}");
TI_DECLARE_IID(IKavroContour, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0D}");
TI_DECLARE_IID(IKavroContourPart, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0E}");
TI_DECLARE_IID(IKavroSemData, "{5E1A0C01-3B7D-4D2A-9C61-7A0E4B2D1F0F}");
