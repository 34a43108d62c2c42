#include "addon/host_wrappers.h"

#include "addon/module_state.h"

namespace {

template <class I> const char* InterfaceName();
template <> const char* InterfaceName<IQmIDsList>() {
    return "IQmIDsList";
}
template <> const char* InterfaceName<IQmStyle>() {
    return "IQmStyle";
}
template <> const char* InterfaceName<IQmMacroAttrsList>() {
    return "IQmMacroAttrsList";
}
template <> const char* InterfaceName<IQmAddOnManager>() {
    return "IQmAddOnManager";
}
template <> const char* InterfaceName<IQmGISDatabase>() {
    return "IQmGISDatabase";
}
template <> const char* InterfaceName<IQmMapProject>() {
    return "IQmMapProject";
}
template <> const char* InterfaceName<IQmMapObjects>() {
    return "IQmMapObjects";
}
template <> const char* InterfaceName<IQmMapView>() {
    return "IQmMapView";
}
template <> const char* InterfaceName<IQmGeometryLib>() {
    return "IQmGeometryLib";
}
template <> const char* InterfaceName<IQmPreferences>() {
    return "IQmPreferences";
}

} // namespace

HRESULT HostCheck(HRESULT hr) {
    if (SUCCEEDED(hr))
        return hr;
    AnsiString text;
    if (IQmErrorInfo* sink = HostErrorSink()) {
        TQmText source{}, message{};
        try {
            if (sink->GetLastError(&source, &message) == S_OK)
                text = message.Str() + ". [" + source.Str() + "]";
        } catch (...) {
            text.clear();
        }
    }
    throw EHResultError(hr, std::move(text));
}

template <class I> I* TQmInterfaceHolder<I>::Require() const {
    if (!intf)
        throw EHResultError(E_POINTER, Ansi("Нет связи с программой: интерфейс ") +
                                           InterfaceName<I>() + Ansi(" не получен"));
    return intf.Get();
}

template struct TQmInterfaceHolder<IQmIDsList>;
template struct TQmInterfaceHolder<IQmStyle>;
template struct TQmInterfaceHolder<IQmMacroAttrsList>;
template struct TQmInterfaceHolder<IQmAddOnManager>;
template struct TQmInterfaceHolder<IQmGISDatabase>;
template struct TQmInterfaceHolder<IQmMapProject>;
template struct TQmInterfaceHolder<IQmMapObjects>;
template struct TQmInterfaceHolder<IQmMapView>;
template struct TQmInterfaceHolder<IQmGeometryLib>;
template struct TQmInterfaceHolder<IQmPreferences>;

HRESULT TQmIDsList::Count(std::int32_t& count) const {
    return HostCheck(Require()->Count(&count));
}
HRESULT TQmIDsList::Get(std::int32_t index, TQmID& id) const {
    return HostCheck(Require()->Get(index, &id));
}

HRESULT TQmStyle::GetName(TQmText& name) const {
    return HostCheck(Require()->GetName(&name));
}
HRESULT TQmStyle::GetIDs(TQmIDsList& ids) const {
    return HostCheck(Require()->GetIDs(ids.intf.Put()));
}

HRESULT TQmMacroAttrsList::Get(std::int32_t index, TQmMacroAttrs& attrs) const {
    return HostCheck(Require()->Get(index, &attrs));
}
HRESULT TQmMacroAttrsList::Count(std::int32_t& count) const {
    return HostCheck(Require()->Count(&count));
}
HRESULT TQmMacroAttrsList::Clear() const {
    return HostCheck(Require()->Clear());
}
HRESULT TQmMacroAttrsList::Insert(std::int32_t index, const TQmMacroAttrs& attrs) const {
    return HostCheck(Require()->Insert(index, &attrs));
}

HRESULT TQmAddOnManager::GetOwnerWindow(HWND& window) const {
    return HostCheck(Require()->GetOwnerWindow(&window));
}
HRESULT TQmAddOnManager::GetApplicationWindow(HWND& window) const {
    return HostCheck(Require()->GetApplicationWindow(&window));
}

HRESULT TQmGISDatabase::GetMapInfo(const TQmID& mapId, TQmMapInfo& info) const {
    return HostCheck(Require()->GetMapInfo(&mapId, &info));
}
HRESULT TQmGISDatabase::GetLayerInfo(const TQmID& layerId, TQmLayerInfo& info) const {
    return HostCheck(Require()->GetLayerInfo(&layerId, &info));
}
HRESULT TQmGISDatabase::GetLayerIDs(const TQmID& mapId, TQmIDsList& ids) const {
    return HostCheck(Require()->GetLayerIDs(&mapId, ids.intf.Put()));
}
HRESULT TQmGISDatabase::GetStyleIDs(const TQmID& layerId, TQmIDsList& ids) const {
    return HostCheck(Require()->GetStyleIDs(&layerId, ids.intf.Put()));
}
HRESULT TQmGISDatabase::GetTableIDs(const TQmID& layerId, TQmIDsList& ids) const {
    return HostCheck(Require()->GetTableIDs(&layerId, ids.intf.Put()));
}
HRESULT TQmGISDatabase::GetStyle(const TQmID& styleId, TQmStyle& style) const {
    return HostCheck(Require()->GetStyle(&styleId, style.intf.Put()));
}
HRESULT TQmGISDatabase::GetTableInfo(const TQmID& tableId, TQmTableInfo& info) const {
    return HostCheck(Require()->GetTableInfo(&tableId, &info));
}
HRESULT TQmGISDatabase::ReadStream(const TQmText& name, IStream* target) const {
    return HostCheck(Require()->ReadStream(&name, target));
}

HRESULT TQmMapProject::GetMapIDs(TQmIDsList& ids) const {
    return HostCheck(Require()->GetMapIDs(ids.intf.Put()));
}
