#include "project_description.h"

#include "host/store/project_store.h"
#include "platform/codepage.h"

#include <pugixml.hpp>

#include <charconv>
#include <cstdint>
#include <set>
#include <sstream>

namespace kavrohost {

using nlohmann::json;

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw EDescriptionError("Описание проекта: " + message);
}

const json& Member(const json& object, const char* key, const std::string& where) {
    if (!object.is_object())
        Fail(where + " должно быть объектом JSON");
    auto it = object.find(key);
    if (it == object.end())
        Fail(where + ": нет свойства \"" + key + "\"");
    return *it;
}

std::string Text(const json& object, const char* key, const std::string& where) {
    const json& v = Member(object, key, where);
    if (!v.is_string())
        Fail(where + ": свойство \"" + key + "\" должно быть строкой");
    return v.get<std::string>();
}

std::string TextOr(const json& object, const char* key, const std::string& where,
                   const std::string& fallback) {
    return object.contains(key) ? Text(object, key, where) : fallback;
}

const json& ArrayOrEmpty(const json& object, const char* key, const std::string& where) {
    static const json empty = json::array();
    auto it = object.find(key);
    if (it == object.end())
        return empty;
    if (!it->is_array())
        Fail(where + ": свойство \"" + key + "\" должно быть массивом");
    return *it;
}

int Integer(const json& object, const char* key, const std::string& where) {
    const json& v = Member(object, key, where);
    if (!v.is_number_integer() || v.get<long long>() < INT32_MIN ||
        v.get<long long>() > INT32_MAX ||
        (v.is_number_unsigned() && v.get<unsigned long long>() > INT32_MAX))
        Fail(where + ": свойство \"" + key + "\" должно быть 32-битным целым числом");
    return v.get<int>();
}

// Identifiers of the add-on API are at most 15 Windows-1251 characters.
std::string Identifier(const json& object, const std::string& where, std::set<std::string>& seen) {
    std::string id = Text(object, "id", where);
    AnsiString ansi = Utf8ToAnsi(id);
    if (id.empty())
        Fail(where + ": пустой идентификатор");
    if (AnsiToUtf8(ansi) != id)
        Fail(where + ": идентификатор \"" + id + "\" содержит символы вне кодовой страницы 1251");
    if (ansi.size() > 15)
        Fail(where + ": идентификатор \"" + id + "\" длиннее 15 символов");
    if (!seen.insert(id).second)
        Fail(where + ": идентификатор \"" + id + "\" повторяется");
    return id;
}

std::string FormatNumber(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

json NormalizeCoordinateSystem(const json& cs) {
    const std::string where = "coordinateSystem";
    json out = json::object();
    out["caption"] = TextOr(cs, "caption", where, "");
    out["format"] = Text(cs, "format", where);
    out["parameters"] = Text(cs, "parameters", where);
    bool switchXY = false;
    if (cs.contains("switchXY")) {
        if (!cs["switchXY"].is_boolean())
            Fail(where + ": свойство \"switchXY\" должно быть true или false");
        switchXY = cs["switchXY"].get<bool>();
    }
    out["switchXY"] = switchXY;
    if (cs.contains("boundingBox")) {
        const json& box = cs["boundingBox"];
        if (!box.is_array() || box.size() != 4)
            Fail(where + ": \"boundingBox\" должно быть массивом из четырех чисел");
        for (const auto& n : box)
            if (!n.is_number())
                Fail(where + ": \"boundingBox\" должно быть массивом из четырех чисел");
        out["boundingBox"] = box;
    }
    return out;
}

struct TParsed {
    TProjectModel model;
    json normal;
    std::map<std::string, std::string> settings;
    std::vector<TStreamDef> streams;
    std::string coordinateSystemJson;
};

TParsed Parse(const json& d) {
    if (!d.is_object())
        Fail("описание должно быть объектом JSON");
    TParsed p;
    std::set<std::string> mapIds, layerIds, styleIds, tableIds;
    json maps = json::array();
    const json& mapList = ArrayOrEmpty(d, "maps", "проект");
    for (std::size_t mi = 0; mi < mapList.size(); ++mi) {
        const json& m = mapList[mi];
        std::string where = "карта " + std::to_string(mi + 1);
        TMapDef map;
        map.id = Identifier(m, where, mapIds);
        map.name = Text(m, "name", where);
        json layers = json::array();
        for (const json& l : ArrayOrEmpty(m, "layers", where)) {
            std::string lwhere = "слой карты \"" + map.id + "\"";
            TLayerDef layer;
            layer.id = Identifier(l, lwhere, layerIds);
            layer.mapId = map.id;
            layer.name = Text(l, "name", lwhere);
            lwhere = "слой \"" + layer.id + "\"";
            json styles = json::array();
            for (const json& s : ArrayOrEmpty(l, "styles", lwhere)) {
                TStyleDef style;
                style.id = Identifier(s, "стиль " + lwhere, styleIds);
                style.layerId = layer.id;
                style.name = Text(s, "name", "стиль \"" + style.id + "\"");
                styles.push_back({{"id", style.id}, {"name", style.name}});
                layer.styleIds.push_back(style.id);
                p.model.styles.push_back(std::move(style));
            }
            json tables = json::array();
            for (const json& t : ArrayOrEmpty(l, "tables", lwhere)) {
                TTableDef table;
                table.id = Identifier(t, "таблица " + lwhere, tableIds);
                std::string twhere = "таблица \"" + table.id + "\"";
                table.layerId = layer.id;
                table.name = Text(t, "name", twhere);
                table.caption = TextOr(t, "caption", twhere, table.name);
                table.mode = t.contains("mode") ? Integer(t, "mode", twhere) : 0;
                if (table.mode != 0 && table.mode != 1)
                    Fail(twhere + ": режим должен быть 0 или 1");
                for (const auto& other : p.model.tables)
                    if (other.layerId == layer.id && other.name == table.name)
                        Fail(twhere + ": имя \"" + table.name + "\" уже есть в слое");
                json fields = json::array();
                for (const json& f : ArrayOrEmpty(t, "fields", twhere)) {
                    TFieldDef field;
                    field.name = Text(f, "name", "поле " + twhere);
                    if (field.name.empty() || table.FieldIndex(field.name) >= 0)
                        Fail(twhere + ": пустое или повторное имя поля \"" + field.name + "\"");
                    field.caption = TextOr(f, "caption", "поле " + twhere, field.name);
                    field.type = Integer(f, "type", "поле \"" + field.name + "\" " + twhere);
                    fields.push_back(
                        {{"name", field.name}, {"caption", field.caption}, {"type", field.type}});
                    table.fields.push_back(std::move(field));
                }
                tables.push_back({{"id", table.id},
                                  {"name", table.name},
                                  {"caption", table.caption},
                                  {"mode", table.mode},
                                  {"fields", std::move(fields)}});
                layer.tableIds.push_back(table.id);
                p.model.tables.push_back(std::move(table));
            }
            layers.push_back({{"id", layer.id},
                              {"name", layer.name},
                              {"styles", std::move(styles)},
                              {"tables", std::move(tables)}});
            map.layerIds.push_back(layer.id);
            p.model.layers.push_back(std::move(layer));
        }
        maps.push_back({{"id", map.id}, {"name", map.name}, {"layers", std::move(layers)}});
        p.model.maps.push_back(std::move(map));
    }
    p.model.Index();
    p.normal = json::object();
    p.normal["maps"] = std::move(maps);

    p.model.activeMap = TextOr(d, "activeMap", "проект", "");
    p.model.activeLayer = TextOr(d, "activeLayer", "проект", "");
    if (!p.model.activeMap.empty()) {
        if (!p.model.FindMap(p.model.activeMap))
            Fail("активная карта \"" + p.model.activeMap + "\" не описана");
        p.normal["activeMap"] = p.model.activeMap;
    }
    if (!p.model.activeLayer.empty()) {
        const TLayerDef* layer = p.model.FindLayer(p.model.activeLayer);
        if (!layer)
            Fail("активный слой \"" + p.model.activeLayer + "\" не описан");
        if (!p.model.activeMap.empty() && layer->mapId != p.model.activeMap)
            Fail("активный слой \"" + p.model.activeLayer + "\" не принадлежит активной карте");
        p.normal["activeLayer"] = p.model.activeLayer;
    }

    if (d.contains("settings")) {
        const json& s = d["settings"];
        if (!s.is_object())
            Fail("\"settings\" должно быть объектом со строковыми значениями");
        for (auto it = s.begin(); it != s.end(); ++it) {
            if (!it.value().is_string())
                Fail("настройка \"" + it.key() + "\" должна быть строкой");
            p.settings[it.key()] = it.value().get<std::string>();
        }
        if (!p.settings.empty())
            p.normal["settings"] = p.settings;
    }

    bool generated = false;
    if (d.contains("coordinateSystem") && !d["coordinateSystem"].is_null()) {
        json cs = NormalizeCoordinateSystem(d["coordinateSystem"]);
        p.coordinateSystemJson = cs.dump();
        p.streams.push_back({kConfigurationStream, ConfigurationDocument(cs), "text", true});
        p.normal["coordinateSystem"] = std::move(cs);
        generated = true;
    }
    json streams = json::array();
    std::set<std::string> streamNames;
    if (generated)
        streamNames.insert(kConfigurationStream);
    for (const json& s : ArrayOrEmpty(d, "streams", "проект")) {
        TStreamDef stream;
        stream.name = Text(s, "name", "поток");
        std::string where = "поток \"" + stream.name + "\"";
        if (!streamNames.insert(stream.name).second)
            Fail(where + " описан дважды (или вместе с \"coordinateSystem\")");
        if (s.contains("text")) {
            stream.bytes = Text(s, "text", where);
            stream.encoding = "text";
        } else if (s.contains("base64")) {
            stream.bytes = DecodeBase64(Text(s, "base64", where));
            stream.encoding = "base64";
        } else {
            Fail(where + ": нужно свойство \"text\" или \"base64\"");
        }
        streams.push_back(
            {{"name", stream.name},
             {stream.encoding, Text(s, stream.encoding == "text" ? "text" : "base64", where)}});
        p.streams.push_back(std::move(stream));
    }
    if (!streams.empty())
        p.normal["streams"] = std::move(streams);
    return p;
}

} // namespace

std::string ConfigurationDocument(const json& cs) {
    pugi::xml_document doc;
    auto decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    auto root = doc.append_child("DatabaseConfiguration");
    auto ref = root.append_child("DatabaseCoordinateReference");
    std::string caption = cs.value("caption", "");
    bool switchXY = cs.value("switchXY", false);
    ref.append_attribute("caption") = caption.c_str();
    ref.append_attribute("switchXY") = switchXY ? "true" : "false";
    auto def = ref.append_child("Definition");
    def.append_attribute("caption") = caption.c_str();
    def.append_attribute("format") = cs.value("format", "").c_str();
    def.append_attribute("switchXY") = switchXY ? "true" : "false";
    std::string box;
    if (cs.contains("boundingBox")) {
        const json& b = cs["boundingBox"];
        double minX = std::min(b[0].get<double>(), b[2].get<double>());
        double maxX = std::max(b[0].get<double>(), b[2].get<double>());
        double minY = std::min(b[1].get<double>(), b[3].get<double>());
        double maxY = std::max(b[1].get<double>(), b[3].get<double>());
        box = FormatNumber(minX) + " " + FormatNumber(minY) + " " + FormatNumber(maxX) + " " +
              FormatNumber(maxY);
        def.append_attribute("boundingBox") = box.c_str();
    }
    def.text().set(cs.value("parameters", "").c_str());
    if (!box.empty())
        ref.append_child("BoundingBox").text().set(box.c_str());
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

json NormalizeDescription(const json& description) {
    return Parse(description).normal;
}

void CreateProject(const std::filesystem::path& file, const json& description) {
    TParsed p = Parse(description);
    TProjectStore::Create(file, p.model, p.coordinateSystemJson, p.settings, p.streams);
}

json ExportDescription(const std::filesystem::path& file) {
    TProjectStore store(file);
    const TProjectModel& m = store.Model();
    json d = json::object();
    json maps = json::array();
    for (const auto& map : m.maps) {
        json layers = json::array();
        for (const auto& layerId : map.layerIds) {
            const TLayerDef& layer = *m.FindLayer(layerId);
            json styles = json::array();
            for (const auto& styleId : layer.styleIds) {
                const TStyleDef& s = *m.FindStyle(styleId);
                styles.push_back({{"id", s.id}, {"name", s.name}});
            }
            json tables = json::array();
            for (const auto& tableId : layer.tableIds) {
                const TTableDef& t = *m.FindTable(tableId);
                json fields = json::array();
                for (const auto& f : t.fields)
                    fields.push_back({{"name", f.name}, {"caption", f.caption}, {"type", f.type}});
                tables.push_back({{"id", t.id},
                                  {"name", t.name},
                                  {"caption", t.caption},
                                  {"mode", t.mode},
                                  {"fields", std::move(fields)}});
            }
            layers.push_back({{"id", layer.id},
                              {"name", layer.name},
                              {"styles", std::move(styles)},
                              {"tables", std::move(tables)}});
        }
        maps.push_back({{"id", map.id}, {"name", map.name}, {"layers", std::move(layers)}});
    }
    d["maps"] = std::move(maps);
    if (!m.activeMap.empty())
        d["activeMap"] = m.activeMap;
    if (!m.activeLayer.empty())
        d["activeLayer"] = m.activeLayer;
    auto settings = store.Settings();
    if (!settings.empty())
        d["settings"] = settings;
    std::string cs = store.CoordinateSystemJson();
    if (!cs.empty())
        d["coordinateSystem"] = json::parse(cs);
    json streams = json::array();
    for (const auto& s : store.Streams()) {
        if (s.generated)
            continue;
        if (s.encoding == "base64")
            streams.push_back({{"name", s.name}, {"base64", EncodeBase64(s.bytes)}});
        else
            streams.push_back({{"name", s.name}, {"text", s.bytes}});
    }
    if (!streams.empty())
        d["streams"] = std::move(streams);
    return d;
}

std::string EncodeBase64(std::string_view bytes) {
    static const char* kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[v >> 12 & 63];
        out += i + 1 < bytes.size() ? kAlphabet[v >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string DecodeBase64(std::string_view text) {
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int v = value(c);
        if (v < 0 || padding > 0)
            Fail("неверные данные base64");
        buffer = buffer << 6 | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    if (padding > 2)
        Fail("неверные данные base64");
    return out;
}

} // namespace kavrohost
