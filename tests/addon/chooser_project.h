// The add-on bound to the host stand-in over a small project for the chooser's tests: two maps
// with layers and styles, a map and a layer with the same name, and a layer whose table has
// the host's key fields, and a style whose identifier is also a layer's.
#pragma once

#include "addon/com_server.h"
#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

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

class ChooserOnHostStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        kavrohost::CreateProject(m_file, ChooserProjectDescription());
        m_session = std::make_unique<kavrohost::THostSession>(m_file);
        m_addon = new TSampleAddon; // the module's state owns it
        m_addon->Initialize(m_session->Manager());
    }
    void TearDown() override {
        m_addon->Finalize();
        UnloadAddonModule();
        m_session.reset();
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
};
