// The add-on bound to the demo project through the host stand-in, created once for a run of the
// screens tool; the host's folder is the build's bin folder, so the coordinate-system library
// is found under its GDAL subfolder.
#pragma once

#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "screens/screen_registry.h"

#include <fstream>

inline TQmCustomAddon& DemoAddon(const TScreenContext& context) {
    // Both stay to the end of the process: the module's state keeps the add-on.
    static kavrohost::THostSession* session = nullptr;
    static TSampleAddon* addon = nullptr;
    if (!addon) {
        const std::filesystem::path file = std::filesystem::path(context.workDir) / "demo.kavro";
        std::ifstream description(std::filesystem::path(context.sourceDir) / "samples" /
                                  "demo-project.json");
        kavrohost::CreateProject(file, nlohmann::json::parse(description));
        session = new kavrohost::THostSession(file, context.binDir);
        addon = new TSampleAddon; // the module's state owns it
        addon->Initialize(session->Manager());
    }
    return *addon;
}
