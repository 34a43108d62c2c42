// A small project for point import tests: one map, one layer with a point style and two
// attribute tables (mode 0 and mode 1).
#pragma once

#include "host/core/host_session.h"
#include "support/temp_dir.h"

#include <fstream>

inline nlohmann::json PointProjectDescription() {
    nlohmann::json fields = nlohmann::json::array({
        {{"name", "ID"}, {"type", 20}},
        {{"name", "NUM"}, {"type", 10}},
        {{"name", "NOTE"}, {"type", 10}},
        {{"name", "H"}, {"type", 30}},
        {{"name", "DT"}, {"type", 40}},
    });
    return {{"maps",
             {{{"id", "M1"},
               {"name", "Карта"},
               {"layers",
                {{{"id", "L1"},
                  {"name", "Пункты"},
                  {"styles", {{{"id", "S1"}, {"name", "Пункт"}}}},
                  {"tables",
                   {{{"id", "T1"}, {"name", "POINTS"}, {"mode", 0}, {"fields", fields}},
                    {{"id", "T2"}, {"name", "LOG"}, {"mode", 1}, {"fields", fields}}}}}}}}}}};
}

// Creates the project in the folder and opens a session on it.
struct TPointProject {
    TTempDir dir;
    std::filesystem::path file = dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> session;

    TPointProject() {
        kavrohost::CreateProject(file, PointProjectDescription());
        session = std::make_unique<kavrohost::THostSession>(file);
    }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        const auto path = dir / name;
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        return path;
    }
};

// The value of a field of an object record, or nullptr.
inline const kavrohost::TValueRecord*
FindValue(const kavrohost::TObjectRecord& o, const std::string& table, const std::string& field) {
    for (const auto& v : o.values)
        if (v.table == table && v.field == field)
            return &v;
    return nullptr;
}
