#include "object_export.h"

#include "host/core/host_session.h"
#include "host/core/project_description.h"
#include "host/store/value_text.h"
#include "project_captions.h"

#include <nlohmann/json.hpp>

#include <map>

namespace kavrohost {

namespace {

std::string ValueText(const TValueRecord& v) {
    if (v.type == "null")
        return "null";
    if (v.type == "text")
        return "text \"" + v.text + "\"";
    return v.type + " " + v.text;
}

std::string ValueKey(const TValueRecord& v) {
    std::string key = v.table + "." + v.field;
    if (v.record != 0) {
        // Appended piece by piece: GCC 12 warns (-Wrestrict) wrongly on "[" + to_string(...).
        key += '[';
        key += std::to_string(v.record);
        key += ']';
    }
    return key;
}

nlohmann::json Position(const TVertexRecord& v) {
    if (v.z == 0)
        return {v.x, v.y};
    return {v.x, v.y, v.z};
}

nlohmann::json PartGeometry(const TPartRecord& part) {
    nlohmann::json coords = nlohmann::json::array();
    for (const auto& v : part.vertices)
        coords.push_back(Position(v));
    if (part.vertices.size() == 1)
        return {{"type", "Point"}, {"coordinates", coords[0]}};
    // A ring needs three distinct vertices; fewer stay a line.
    if (part.closed && part.vertices.size() >= 3) {
        coords.push_back(coords[0]);
        return {{"type", "Polygon"}, {"coordinates", nlohmann::json::array({coords})}};
    }
    return {{"type", "LineString"}, {"coordinates", coords}};
}

nlohmann::json ShapeGeometry(const TShapeRecord& shape) {
    nlohmann::json parts = nlohmann::json::array();
    for (const auto& p : shape.parts)
        if (!p.vertices.empty())
            parts.push_back(PartGeometry(p));
    if (parts.empty())
        return nullptr;
    if (parts.size() == 1)
        return parts[0];
    return {{"type", "GeometryCollection"}, {"geometries", parts}};
}

// The project's coordinate system as a GeoJSON named CRS, the 2008 form that readers such as
// GDAL still honour: the coordinates stay the database's, and a reader is told what they are
// instead of taking them for WGS 84 degrees. Null when the project names no system.
nlohmann::json CrsMember(const std::filesystem::path& project) {
    const nlohmann::json description = ExportDescription(project);
    const auto cs = description.find("coordinateSystem");
    if (cs == description.end() || !cs->is_object())
        return nullptr;
    const std::string format = cs->value("format", "");
    std::string parameters = cs->value("parameters", "");
    if (parameters.empty())
        return nullptr;
    if (format == "EPSG" && parameters.find(':') == std::string::npos)
        parameters = "EPSG:" + parameters;
    else if (format != "PROJ4" && format != "WKT" && format != "EPSG")
        return nullptr;
    return {{"type", "name"}, {"properties", {{"name", parameters}}}};
}

} // namespace

std::string ObjectLine(const TObjectRecord& object) {
    std::string line = std::to_string(object.id) + " " + object.layerId;
    for (const auto& shape : object.shapes) {
        line += " | shape " + shape.styleId;
        for (const auto& part : shape.parts) {
            line += part.closed ? " closed " : " open ";
            line += std::to_string(part.vertices.size()) + ":";
            for (const auto& v : part.vertices)
                line += " (" + FormatDouble(v.x) + " " + FormatDouble(v.y) + " " +
                        FormatDouble(v.z) + ")";
        }
    }
    for (const auto& v : object.values)
        line += " | " + ValueKey(v) + " = " + ValueText(v);
    return line;
}

std::size_t ExportGeoJson(const std::filesystem::path& project, std::ostream& out) {
    std::size_t count = 0;
    out << "{\"type\":\"FeatureCollection\",";
    if (const nlohmann::json crs = CrsMember(project); !crs.is_null())
        out << "\"crs\":" << crs.dump() << ",";
    out << "\"features\":[";
    auto write = [&](const TObjectRecord& object, const TShapeRecord* shape) {
        nlohmann::json properties = {{"id", object.id}, {"layer", object.layerId}};
        properties["style"] = shape ? nlohmann::json(shape->styleId) : nlohmann::json(nullptr);
        for (const auto& v : object.values) {
            nlohmann::json value;
            if (v.type == "int")
                value = v.intValue;
            else if (v.type == "double")
                value = v.doubleValue;
            else if (v.type != "null")
                value = v.text;
            properties[ValueKey(v)] = value;
        }
        nlohmann::json feature = {{"type", "Feature"},
                                  {"geometry", shape ? ShapeGeometry(*shape) : nullptr},
                                  {"properties", std::move(properties)}};
        out << (count++ ? ",\n" : "\n") << feature.dump();
    };
    ForEachObject(project, [&](const TObjectRecord& object) {
        if (object.shapes.empty())
            write(object, nullptr);
        for (const auto& shape : object.shapes)
            write(object, &shape);
    });
    out << "\n]}\n";
    return count;
}

void PrintProjectSummary(const std::filesystem::path& project, std::ostream& out) {
    const TProjectCaptions captions(ExportDescription(project));
    std::size_t total = 0;
    std::map<std::string, std::size_t> objects, shapes;
    ForEachObject(project, [&](const TObjectRecord& o) {
        ++total;
        ++objects[o.layerId];
        for (const auto& s : o.shapes)
            ++shapes[s.styleId];
    });
    out << "Объектов в проекте: " << total << "\n";
    for (const auto& layer : captions.Layers()) {
        auto count = objects.find(layer.id);
        if (count == objects.end())
            continue;
        out << "  слой \"" << layer.name << "\" (" << layer.id << "): объектов " << count->second
            << "\n";
        for (const auto& styleId : layer.styleIds)
            if (auto n = shapes.find(styleId); n != shapes.end())
                out << "    стиль \"" << captions.Style(styleId)->name << "\" (" << styleId
                    << "): фигур " << n->second << "\n";
    }
}

} // namespace kavrohost
