#include "addon/style_queries.h"

#include "addon/custom_addon.h"

#include <exception>

namespace {

// The answer of `query`, or the fallback when any host call in it fails.
template <class F> AnsiString OrFallback(F&& query, std::string_view fallback) {
    try {
        return query();
    } catch (const std::exception&) {
        return AnsiString(fallback);
    }
}

} // namespace

AnsiString GetStyleLayerID(const TQmCustomAddon& addon, std::string_view styleId) {
    return OrFallback(
        [&] {
            TQmStyle style;
            addon.GISDatabase().GetStyle(TQmID::From(styleId), style);
            TQmIDsList ids;
            style.GetIDs(ids);
            TQmID layerId{};
            ids.Get(0, layerId);
            return layerId.Str();
        },
        {});
}

AnsiString GetLayerMapID(const TQmCustomAddon& addon, std::string_view layerId) {
    return OrFallback(
        [&] {
            TQmLayerInfo info{};
            addon.GISDatabase().GetLayerInfo(TQmID::From(layerId), info);
            return info.mapId.Str();
        },
        {});
}

AnsiString GetStyleCaption(const TQmCustomAddon& addon, std::string_view styleId,
                           std::string_view defaultText) {
    if (styleId.empty())
        return AnsiString(defaultText);
    return OrFallback(
        [&] {
            TQmStyle style;
            addon.GISDatabase().GetStyle(TQmID::From(styleId), style);
            TQmText name{};
            style.GetName(name);
            return name.Str();
        },
        defaultText);
}

AnsiString GetLayerCaption(const TQmCustomAddon& addon, std::string_view layerId,
                           std::string_view defaultText) {
    if (layerId.empty())
        return AnsiString(defaultText);
    return OrFallback(
        [&] {
            const TQmGISDatabase& database = addon.GISDatabase();
            TQmLayerInfo layer{};
            database.GetLayerInfo(TQmID::From(layerId), layer);
            TQmMapInfo map{};
            database.GetMapInfo(layer.mapId, map);
            return "[" + map.name.Str() + "] " + layer.name.Str();
        },
        defaultText);
}
