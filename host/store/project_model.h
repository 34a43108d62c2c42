// The structure of a project (maps, layers, styles, attribute tables and their fields) as it
// is held in memory. Texts are UTF-8. The structure does not change while a project is open.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace kavrohost {

struct TFieldDef {
    std::string name;
    std::string caption;
    int type = 10;
};

struct TTableDef {
    std::string id;
    std::string layerId;
    std::string name;
    std::string caption;
    int mode = 0; // 0: one record per object; 1: records are created by NewRecordIndex
    std::vector<TFieldDef> fields;

    // Index into fields, or -1.
    int FieldIndex(const std::string& fieldName) const;
};

struct TStyleDef {
    std::string id;
    std::string layerId;
    std::string name;
};

struct TLayerDef {
    std::string id;
    std::string mapId;
    std::string name;
    std::vector<std::string> styleIds; // in project order
    std::vector<std::string> tableIds;
};

struct TMapDef {
    std::string id;
    std::string name;
    std::vector<std::string> layerIds;
};

struct TProjectModel {
    std::vector<TMapDef> maps;
    std::vector<TLayerDef> layers;
    std::vector<TStyleDef> styles;
    std::vector<TTableDef> tables;
    std::string activeMap;
    std::string activeLayer;

    const TMapDef* FindMap(const std::string& id) const;
    const TLayerDef* FindLayer(const std::string& id) const;
    const TStyleDef* FindStyle(const std::string& id) const;
    const TTableDef* FindTable(const std::string& id) const;
    // The table of a layer with the given name (attribute writes name tables by name).
    const TTableDef* FindLayerTableByName(const std::string& layerId,
                                          const std::string& name) const;
    // Rebuilds the id lookups; call after filling the vectors.
    void Index();

private:
    std::unordered_map<std::string, std::size_t> m_maps, m_layers, m_styles, m_tables;
};

} // namespace kavrohost
