#include "addon/project_tree.h"

#include "addon/custom_addon.h"

#include <algorithm>

namespace {

// The identifiers of a host list, in its order.
std::vector<TQmID> Ids(const TQmIDsList& list) {
    std::int32_t count = 0;
    list.Count(count);
    std::vector<TQmID> ids(static_cast<std::size_t>(std::max(count, 0)));
    for (std::int32_t i = 0; i < count; ++i)
        list.Get(i, ids[static_cast<std::size_t>(i)]);
    return ids;
}

} // namespace

std::vector<TProjectTreeNode> ReadProjectTree(const TQmCustomAddon& addon, TProjectNodeKind kind) {
    const TQmGISDatabase& database = addon.GISDatabase();
    TQmIDsList mapIds;
    addon.MapProject().GetMapIDs(mapIds);

    std::vector<TProjectTreeNode> maps;
    for (const TQmID& mapId : Ids(mapIds)) {
        TQmMapInfo mapInfo{};
        database.GetMapInfo(mapId, mapInfo);
        TProjectTreeNode& map = maps.emplace_back(
            TProjectTreeNode{{mapId, TProjectNodeKind::Map}, mapInfo.name.Str(), {}});
        if (kind == TProjectNodeKind::Map)
            continue;
        TQmIDsList layerIds;
        database.GetLayerIDs(mapId, layerIds);
        for (const TQmID& layerId : Ids(layerIds)) {
            TQmLayerInfo layerInfo{};
            database.GetLayerInfo(layerId, layerInfo);
            TProjectTreeNode& layer = map.children.emplace_back(
                TProjectTreeNode{{layerId, TProjectNodeKind::Layer}, layerInfo.name.Str(), {}});
            if (kind != TProjectNodeKind::Style)
                continue;
            TQmIDsList styleIds;
            database.GetStyleIDs(layerId, styleIds);
            for (const TQmID& styleId : Ids(styleIds)) {
                TQmStyle style;
                database.GetStyle(styleId, style);
                TQmText name{};
                style.GetName(name);
                layer.children.push_back({{styleId, TProjectNodeKind::Style}, name.Str(), {}});
            }
        }
    }
    return maps;
}
