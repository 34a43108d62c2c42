#include "project_model.h"

namespace kavrohost {

int TTableDef::FieldIndex(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == fieldName)
            return static_cast<int>(i);
    return -1;
}

namespace {
template <class T>
const T* Find(const std::vector<T>& items,
              const std::unordered_map<std::string, std::size_t>& index, const std::string& id) {
    auto it = index.find(id);
    return it == index.end() ? nullptr : &items[it->second];
}
template <class T>
void Build(const std::vector<T>& items, std::unordered_map<std::string, std::size_t>& index) {
    index.clear();
    for (std::size_t i = 0; i < items.size(); ++i)
        index.emplace(items[i].id, i);
}
template <class T> void Number(std::vector<T>& items) {
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i].key = static_cast<int>(i + 1);
}
} // namespace

const TMapDef* TProjectModel::FindMap(const std::string& id) const {
    return Find(maps, m_maps, id);
}
const TLayerDef* TProjectModel::FindLayer(const std::string& id) const {
    return Find(layers, m_layers, id);
}
const TStyleDef* TProjectModel::FindStyle(const std::string& id) const {
    return Find(styles, m_styles, id);
}
const TTableDef* TProjectModel::FindTable(const std::string& id) const {
    return Find(tables, m_tables, id);
}

const TTableDef* TProjectModel::FindLayerTableByName(const std::string& layerId,
                                                     const std::string& name) const {
    const TLayerDef* layer = FindLayer(layerId);
    if (!layer)
        return nullptr;
    for (const auto& id : layer->tableIds)
        if (const TTableDef* t = FindTable(id); t && t->name == name)
            return t;
    return nullptr;
}

void TProjectModel::Index() {
    Number(layers);
    Number(styles);
    Number(tables);
    Build(maps, m_maps);
    Build(layers, m_layers);
    Build(styles, m_styles);
    Build(tables, m_tables);
}

} // namespace kavrohost
