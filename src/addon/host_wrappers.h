// The module's only way to call the host's add-on interfaces: one record type per interface,
// holding one reference, whose calls turn a failure result into EHResultError with the host's
// own message.
#pragma once

#include "host_api/addon_api.h"
#include "host_api/host_errors.h"

// Returns hr when it is not negative (S_FALSE reaches the caller, for whom it often means "not
// there"); otherwise raises EHResultError whose message the host's error sink gives as
// "message. [source]", empty when there is no sink or it cannot answer.
HRESULT HostCheck(HRESULT hr);

// The common part of the holders: empty until Initialize, released at Finalize.
template <class I> struct TQmInterfaceHolder {
    TComPtr<I> intf;

    explicit operator bool() const { return static_cast<bool>(intf); }
    void Reset() { intf.Reset(); }

protected:
    // The held interface; an empty holder is an error, not a crash.
    I* Require() const;
};

struct TQmIDsList : TQmInterfaceHolder<IQmIDsList> {
    HRESULT Count(std::int32_t& count) const;
    HRESULT Get(std::int32_t index, TQmID& id) const;
};

struct TQmStyle : TQmInterfaceHolder<IQmStyle> {
    HRESULT GetName(TQmText& name) const;
    // Entry 0 of the list is the style's layer.
    HRESULT GetIDs(TQmIDsList& ids) const;
};

struct TQmMacroAttrsList : TQmInterfaceHolder<IQmMacroAttrsList> {
    HRESULT Get(std::int32_t index, TQmMacroAttrs& attrs) const;
    HRESULT Count(std::int32_t& count) const;
    HRESULT Clear() const;
    // Appends when index is negative.
    HRESULT Insert(std::int32_t index, const TQmMacroAttrs& attrs) const;
};

struct TQmAddOnManager : TQmInterfaceHolder<IQmAddOnManager> {
    HRESULT GetOwnerWindow(HWND& window) const;
    HRESULT GetApplicationWindow(HWND& window) const;
};

struct TQmGISDatabase : TQmInterfaceHolder<IQmGISDatabase> {
    HRESULT GetMapInfo(const TQmID& mapId, TQmMapInfo& info) const;
    HRESULT GetLayerInfo(const TQmID& layerId, TQmLayerInfo& info) const;
    HRESULT GetLayerIDs(const TQmID& mapId, TQmIDsList& ids) const;
    HRESULT GetStyleIDs(const TQmID& layerId, TQmIDsList& ids) const;
    HRESULT GetTableIDs(const TQmID& layerId, TQmIDsList& ids) const;
    HRESULT GetStyle(const TQmID& styleId, TQmStyle& style) const;
    HRESULT GetTableInfo(const TQmID& tableId, TQmTableInfo& info) const;
    // S_FALSE when the database has no stream of that name.
    HRESULT ReadStream(const TQmText& name, IStream* target) const;
};

struct TQmMapProject : TQmInterfaceHolder<IQmMapProject> {
    HRESULT GetMapIDs(TQmIDsList& ids) const;
};

// Held from Initialize to Finalize; the module makes no calls on them.
struct TQmMapObjects : TQmInterfaceHolder<IQmMapObjects> {};
struct TQmMapView : TQmInterfaceHolder<IQmMapView> {};
struct TQmGeometryLib : TQmInterfaceHolder<IQmGeometryLib> {};
struct TQmPreferences : TQmInterfaceHolder<IQmPreferences> {};
