#include "addon/application_view.h"

#include "host_api/host_errors.h"
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

namespace {

TBstr ToBstr(std::string_view ansi) {
    return TBstr(AnsiToWide(ansi));
}

AnsiString FromBstr(const TBstr& text) {
    return WideToAnsi(text.View());
}

TComPtr<IKavroProjectView> ProjectView(IKavroApplication& application) {
    return FetchHostObject<IKavroProjectView>(
        [&](IKavroProjectView** p) { return application.get_ProjectView(p); });
}

} // namespace

void ReadProjectMaps(IKavroApplication& application, std::vector<TIdNameEntry>& entries) {
    const TComPtr<IKavroProjectView> view = ProjectView(application);
    std::int32_t count = 0;
    OleCheck(view->get_MapCount(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TBstr id, name;
        OleCheck(view->GetMap(i, id.Put(), name.Put()));
        entries.push_back({FromBstr(id), FromBstr(name)});
    }
}

void ReadMapLayers(IKavroApplication& application, std::string_view mapId,
                   std::vector<TIdNameEntry>& entries) {
    const TComPtr<IKavroProjectView> view = ProjectView(application);
    const TBstr map = ToBstr(mapId);
    std::int32_t count = 0;
    OleCheck(view->GetLayerCount(map.Get(), &count));
    for (std::int32_t i = 0; i < count; ++i) {
        TBstr id, name;
        OleCheck(view->GetLayer(map.Get(), i, id.Put(), name.Put()));
        entries.push_back({FromBstr(id), FromBstr(name)});
    }
}

AnsiString ActiveMapId(IKavroApplication& application) {
    TBstr id;
    OleCheck(ProjectView(application)->get_ActiveMap(id.Put()));
    return FromBstr(id);
}

AnsiString ActiveLayerId(IKavroApplication& application) {
    TBstr id;
    OleCheck(ProjectView(application)->get_ActiveLayer(id.Put()));
    return FromBstr(id);
}

bool ReadLayerStyles(IKavroDb& database, std::string_view layerId,
                     std::vector<TIdNameEntry>& entries) {
    const TBstr id = ToBstr(layerId);
    VARIANT_BOOL exists = VARIANT_FALSE;
    OleCheck(database.LayerExists(id.Get(), &exists));
    if (exists == VARIANT_FALSE)
        return false;
    TComPtr<IKavroLayer> layer;
    OleCheck(database.GetLayer(id.Get(), layer.Put()));
    TComPtr<IKavroStyles> styles;
    OleCheck(layer->get_Styles(styles.Put()));
    std::int32_t count = 0;
    OleCheck(styles->get_Count(&count));
    for (std::int32_t i = 0; i < count; ++i) {
        TComPtr<IKavroStyle> style;
        OleCheck(styles->Item(i, style.Put()));
        TBstr styleId, name;
        OleCheck(style->get_ID(styleId.Put()));
        OleCheck(style->get_Name(name.Put()));
        entries.push_back({FromBstr(styleId), FromBstr(name)});
    }
    return true;
}

AnsiString THostSettings::Read(std::string_view key, std::string_view defaultValue) const {
    const TBstr keyText = ToBstr(key);
    const TBstr defaultText = ToBstr(defaultValue);
    TBstr value;
    OleCheck(m_application.GetSetting(keyText.Get(), defaultText.Get(), value.Put()));
    return FromBstr(value);
}

void THostSettings::Write(std::string_view key, std::string_view value) const {
    const TBstr keyText = ToBstr(key);
    const TBstr valueText = ToBstr(value);
    OleCheck(m_application.SetSetting(keyText.Get(), valueText.Get()));
}
