// The add-on bound to the host stand-in over a small project for the chooser's tests: two maps
// with layers and styles, a map and a layer with the same name, and a layer whose table has
// the host's key fields, and a style whose identifier is also a layer's.
#pragma once

#include "addon/addon_on_host.h"

#include <nlohmann/json.hpp>

inline nlohmann::json ChooserProjectDescription() {
    return nlohmann::json::parse(R"json({
      "maps": [
        {"id": "M1", "name": "Карта 1", "layers": [
          {"id": "L1", "name": "Пункты",
           "styles": [{"id": "S1", "name": "Пункт"}, {"id": "S2", "name": "Репер"}],
           "tables": [
             {"id": "T1", "name": "POINTS", "caption": "Пункты", "fields": [
               {"name": "ID", "type": 20}, {"name": "NAME", "type": 10},
               {"name": "Simid", "type": 20}, {"name": "H", "type": 30}]},
             {"id": "T2", "name": "HISTORY", "caption": "История", "mode": 1, "fields": [
               {"name": "NOTE", "type": 11}]}]},
          {"id": "L2", "name": "Дороги", "styles": [{"id": "S3", "name": "Дорога"}]}]},
        {"id": "M2", "name": "Реки", "layers": [
          {"id": "L3", "name": "Реки", "styles": [{"id": "S4", "name": "Река"}, {"id": "L2", "name": "Протока"}]}]}]
    })json");
}

class ChooserOnHostStandIn : public TAddonOnHostTest {
protected:
    void SetUp() override { Open(ChooserProjectDescription()); }
};
