// The names and captions of a project's structure, looked up by the identifiers that map
// objects carry: for the view's colours and legend, the attribute panel and the summary.
#pragma once

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kavrohost {

struct TFieldCaption {
    std::string name, caption;
    int type = 0;
};

struct TTableCaption {
    std::string id, name, caption;
    std::vector<TFieldCaption> fields;
    // The caption of a field by name; the name itself when the table has no such field.
    [[nodiscard]] std::string FieldCaption(const std::string& field) const;
};

struct TStyleCaption {
    std::string id, name, layerId;
    int index = 0; // position among all styles of the project, 0-based
};

struct TLayerCaption {
    std::string id, name, mapId;
    std::vector<std::string> styleIds;
    std::vector<TTableCaption> tables;
};

class TProjectCaptions {
public:
    TProjectCaptions() = default;
    // From a project description (ExportDescription's form).
    explicit TProjectCaptions(const nlohmann::json& description);

    [[nodiscard]] const std::vector<TLayerCaption>& Layers() const { return m_layers; }
    [[nodiscard]] const std::vector<TStyleCaption>& Styles() const { return m_styles; }
    // nullptr for an unknown id.
    [[nodiscard]] const TLayerCaption* Layer(const std::string& id) const;
    [[nodiscard]] const TStyleCaption* Style(const std::string& id) const;
    // A table of the layer by name, as attribute values name it.
    [[nodiscard]] const TTableCaption* Table(const std::string& layerId,
                                             const std::string& tableName) const;

private:
    std::vector<TLayerCaption> m_layers;
    std::vector<TStyleCaption> m_styles;
    std::map<std::string, std::size_t> m_layerIndex, m_styleIndex;
};

} // namespace kavrohost
