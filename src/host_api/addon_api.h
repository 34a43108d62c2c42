// The host's add-on API (IQm*): IUnknown-based interfaces whose identifiers are
// length-prefixed Windows-1251 strings. Every method returns an HRESULT.
//
// Interface identifiers: IQmAddOn and IQmErrorInfo are the host's published ones; the others
// are fixed here in the same family ({C8F844xx-1878-11D0-9DF1-444553540000}).
// Slot numbers count the three IUnknown slots first.
#pragma once

#include "host_api/short_string.h"
#include "platform/com/stream.h"
#include "platform/com/unknown.h"

#include <cstddef>

// The descriptor the add-on copies into the host's 120-byte buffer.
struct TQmAddonInfo {
    GUID classId;             // 0
    TShortString<31> name;    // 16
    TShortString<63> caption; // 48
    std::int32_t value;       // 112: the integer given to the add-on's constructor
    std::int32_t reserved;    // 116: 260, set by the add-on base
};
static_assert(sizeof(TQmAddonInfo) == 120);
static_assert(offsetof(TQmAddonInfo, name) == 16 && offsetof(TQmAddonInfo, caption) == 48 &&
              offsetof(TQmAddonInfo, value) == 112 && offsetof(TQmAddonInfo, reserved) == 116);

// One command of an add-on, 236 bytes.
struct TQmMacroAttrs {
    std::int32_t id;            // 0
    TShortString<31> name;      // 4
    TShortString<63> caption;   // 36
    TShortString<127> menuPath; // 100: levels separated by "\", "&" marks the accelerator
    std::uint8_t reserved[8];   // 228: zero
};
static_assert(sizeof(TQmMacroAttrs) == 236);
static_assert(offsetof(TQmMacroAttrs, name) == 4 && offsetof(TQmMacroAttrs, caption) == 36 &&
              offsetof(TQmMacroAttrs, menuPath) == 100 && offsetof(TQmMacroAttrs, reserved) == 228);

// Descriptors the database fills.
struct TQmMapInfo {
    TQmID id;
    TQmText name;
};
struct TQmLayerInfo {
    TQmID id;
    TQmID mapId;
    TQmText name;
};
struct TQmTableInfo {
    TQmID id;
    TQmText name;    // the table's name
    TQmText caption; // its display name
};

struct IQmMacroAttrsList : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmMacroAttrs* attrs) = 0; // 3
    virtual HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) = 0;                    // 4
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;                                       // 5
    // Appends when index is negative, else inserts before index.
    virtual HRESULT STDMETHODCALLTYPE Insert(std::int32_t index, const TQmMacroAttrs* attrs) = 0;

protected:
    ~IQmMacroAttrsList() = default;
};

struct IQmAddOn : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(TQmAddonInfo* info) = 0;                       // 3
    virtual HRESULT STDMETHODCALLTYPE Initialize(IUnknown* manager) = 0;                     // 4
    virtual HRESULT STDMETHODCALLTYPE Finalize() = 0;                                        // 5
    virtual HRESULT STDMETHODCALLTYPE GetMacros(IQmMacroAttrsList** list) = 0;               // 6
    virtual HRESULT STDMETHODCALLTYPE ExecuteMacro(std::int32_t id, std::int32_t value) = 0; // 7
    virtual HRESULT STDMETHODCALLTYPE Notify(std::int32_t a, std::int32_t b) = 0;            // 8
    // S_OK answers yes, S_FALSE no.
    virtual HRESULT STDMETHODCALLTYPE Query(std::int32_t a, void* b) = 0; // 9

protected:
    ~IQmAddOn() = default;
};

// The host's error sink: a failing add-on API call leaves its source and message here.
struct IQmErrorInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ReportError(const TQmText* source,
                                                  const TQmText* message) = 0;             // 3
    virtual HRESULT STDMETHODCALLTYPE GetLastError(TQmText* source, TQmText* message) = 0; // 4

protected:
    ~IQmErrorInfo() = default;
};

struct IQmAddOnManager : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetOwnerWindow(HWND* window) = 0;       // 3
    virtual HRESULT STDMETHODCALLTYPE GetApplicationWindow(HWND* window) = 0; // 4

protected:
    ~IQmAddOnManager() = default;
};

struct IQmIDsList : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) = 0;         // 3
    virtual HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmID* id) = 0; // 4

protected:
    ~IQmIDsList() = default;
};

struct IQmStyle : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetName(TQmText* name) = 0; // 3
    // The style's identifier list; entry 0 is the owning layer.
    virtual HRESULT STDMETHODCALLTYPE GetIDs(IQmIDsList** ids) = 0; // 4

protected:
    ~IQmStyle() = default;
};

struct IQmGISDatabase : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetMapInfo(const TQmID* mapId, TQmMapInfo* info) = 0; // 3
    virtual HRESULT STDMETHODCALLTYPE GetLayerInfo(const TQmID* layerId,
                                                   TQmLayerInfo* info) = 0;                  // 4
    virtual HRESULT STDMETHODCALLTYPE GetLayerIDs(const TQmID* mapId, IQmIDsList** ids) = 0; // 5
    virtual HRESULT STDMETHODCALLTYPE GetStyleIDs(const TQmID* layerId,
                                                  IQmIDsList** ids) = 0; // 6
    virtual HRESULT STDMETHODCALLTYPE GetTableIDs(const TQmID* layerId,
                                                  IQmIDsList** ids) = 0;                    // 7
    virtual HRESULT STDMETHODCALLTYPE GetStyle(const TQmID* styleId, IQmStyle** style) = 0; // 8
    virtual HRESULT STDMETHODCALLTYPE GetTableInfo(const TQmID* tableId,
                                                   TQmTableInfo* info) = 0; // 9
    // Writes the named stream's bytes into target; S_FALSE when there is no such stream.
    virtual HRESULT STDMETHODCALLTYPE ReadStream(const TQmText* name, IStream* target) = 0; // 10

protected:
    ~IQmGISDatabase() = default;
};

struct IQmMapProject : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetMapIDs(IQmIDsList** ids) = 0; // 3, in project order

protected:
    ~IQmMapProject() = default;
};

// Held by the add-on from Initialize to Finalize; the module calls none of their methods.
struct IQmMapObjects : IUnknown {
protected:
    ~IQmMapObjects() = default;
};
struct IQmMapView : IUnknown {
protected:
    ~IQmMapView() = default;
};
struct IQmGeometryLib : IUnknown {
protected:
    ~IQmGeometryLib() = default;
};
struct IQmPreferences : IUnknown {
protected:
    ~IQmPreferences() = default;
};

TI_DECLARE_IID(IQmAddOn, "{C8F844A1-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmMacroAttrsList, "{C8F844A2-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmErrorInfo, "{C8F84416-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmAddOnManager, "{C8F84410-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmGISDatabase, "{C8F84411-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmMapProject, "{C8F84412-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmMapObjects, "{C8F84413-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmMapView, "{C8F84414-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmGeometryLib, "{C8F84415-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmPreferences, "{C8F84417-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmIDsList, "{C8F84418-1878-11D0-9DF1-444553540000}");
TI_DECLARE_IID(IQmStyle, "{C8F84419-1878-11D0-9DF1-444553540000}");

// The exports of an add-on module, as the host looks them up.
using QmDllRegisterAddOnFn = HRESULT(STDMETHODCALLTYPE*)(const char* id, BOOL active);
using DllGetClassObjectFn = HRESULT(STDMETHODCALLTYPE*)(REFCLSID clsid, REFIID riid, void** object);
using DllCanUnloadNowFn = HRESULT(STDMETHODCALLTYPE*)();
using DllRegisterServerFn = HRESULT(STDMETHODCALLTYPE*)();
using DllUnregisterServerFn = HRESULT(STDMETHODCALLTYPE*)();
