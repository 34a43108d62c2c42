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

// key: the item's number in project order (1-based), which map objects store instead of the id.
struct TTableDef {
    int key = 0;
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
    int key = 0;
    std::string id;
    std::string layerId;
    std::string name;
};

struct TLayerDef {
    int key = 0;
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
    // By key; nullptr when there is none.
    const TLayerDef* LayerByKey(int key) const { return ByKey(layers, key); }
    const TStyleDef* StyleByKey(int key) const { return ByKey(styles, key); }
    const TTableDef* TableByKey(int key) const { return ByKey(tables, key); }
    // Numbers the items in project order and rebuilds the id lookups; call after filling the
    // vectors.
    void Index();

private:
    template <class T> static const T* ByKey(const std::vector<T>& items, int key) {
        return key >= 1 && static_cast<std::size_t>(key) <= items.size() ? &items[key - 1]
                                                                         : nullptr;
    }
    std::unordered_map<std::string, std::size_t> m_maps, m_layers, m_styles, m_tables;
};

} // namespace kavrohost
