// The add-on bound to the demo project through the host stand-in, created once for a run of the
// screens tool; the host's folder is the build's bin folder, so the coordinate-system library
// is found under its GDAL subfolder.
#pragma once

#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "screens/screen_registry.h"

#include <chrono>
#include <filesystem>
#include <fstream>

// The time the survey files and folders of the pictures carry, so that a file dialog shows the
// survey's time rather than the rendering's: 14 May 2024, 15:00.
inline std::filesystem::file_time_type SurveyTime() {
    return std::chrono::file_clock::from_sys(std::chrono::sys_seconds(
        std::chrono::sys_days(std::chrono::year(2024) / 5 / 14) + std::chrono::hours(15)));
}

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
