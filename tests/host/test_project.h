// A small project description shared by the host tests.
#pragma once

#include <nlohmann/json.hpp>

inline nlohmann::json SmallProjectDescription() {
    return nlohmann::json::parse(R"json({
      "maps": [
        {"id": "M1", "name": "Карта 1", "layers": [
          {"id": "L1", "name": "Пункты",
           "styles": [{"id": "S1", "name": "Пункт"}, {"id": "S2", "name": "Репер"}],
           "tables": [
             {"id": "T1", "name": "POINTS", "caption": "Пункты", "mode": 0, "fields": [
               {"name": "ID", "caption": "Код", "type": 20},
               {"name": "NAME", "caption": "Название", "type": 10},
               {"name": "NUM", "caption": "Номер", "type": 20},
               {"name": "H", "caption": "Высота", "type": 30},
               {"name": "DATE", "caption": "Дата", "type": 40}]},
             {"id": "T2", "name": "HISTORY", "caption": "История", "mode": 1, "fields": [
               {"name": "NOTE", "caption": "Примечание", "type": 11}]}]},
          {"id": "L2", "name": "Дороги", "styles": [{"id": "S3", "name": "Дорога"}],
           "tables": []}]},
        {"id": "M2", "name": "Карта 2", "layers": []}],
      "activeMap": "M1",
      "activeLayer": "L1",
      "settings": {"TextImportModule.Separator": ";"},
      "coordinateSystem": {"caption": "WGS 84 / UTM zone 37N", "format": "PROJ4",
        "parameters": "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs",
        "switchXY": false, "boundingBox": [0, 0, 1000000, 9000000]},
      "streams": [{"name": "Raw.Bytes", "base64": "AAEC/w=="}]
    })json");
}
