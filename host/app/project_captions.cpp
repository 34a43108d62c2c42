#include "project_captions.h"

namespace kavrohost {

std::string TTableCaption::FieldCaption(const std::string& field) const {
    for (const auto& f : fields)
        if (f.name == field)
            return f.caption;
    return field;
}

TProjectCaptions::TProjectCaptions(const nlohmann::json& description) {
    for (const auto& map : description.value("maps", nlohmann::json::array())) {
        for (const auto& layer : map.value("layers", nlohmann::json::array())) {
            TLayerCaption l{layer.at("id"), layer.at("name"), map.at("id"), {}, {}};
            for (const auto& style : layer.value("styles", nlohmann::json::array())) {
                TStyleCaption s{style.at("id"), style.at("name"), l.id,
                                static_cast<int>(m_styles.size())};
                m_styleIndex.emplace(s.id, m_styles.size());
                l.styleIds.push_back(s.id);
                m_styles.push_back(std::move(s));
            }
            for (const auto& table : layer.value("tables", nlohmann::json::array())) {
                TTableCaption t{table.at("id"),
                                table.at("name"),
                                table.value("caption", table.at("name").get<std::string>()),
                                {}};
                for (const auto& field : table.value("fields", nlohmann::json::array()))
                    t.fields.push_back({field.at("name"),
                                        field.value("caption", field.at("name").get<std::string>()),
                                        field.value("type", 0)});
                l.tables.push_back(std::move(t));
            }
            m_layerIndex.emplace(l.id, m_layers.size());
            m_layers.push_back(std::move(l));
        }
    }
}

const TLayerCaption* TProjectCaptions::Layer(const std::string& id) const {
    auto it = m_layerIndex.find(id);
    return it == m_layerIndex.end() ? nullptr : &m_layers[it->second];
}

const TStyleCaption* TProjectCaptions::Style(const std::string& id) const {
    auto it = m_styleIndex.find(id);
    return it == m_styleIndex.end() ? nullptr : &m_styles[it->second];
}

const TTableCaption* TProjectCaptions::Table(const std::string& layerId,
                                             const std::string& tableName) const {
    const TLayerCaption* layer = Layer(layerId);
    if (!layer)
        return nullptr;
    for (const auto& t : layer->tables)
        if (t.name == tableName)
            return &t;
    return nullptr;
}

} // namespace kavrohost
