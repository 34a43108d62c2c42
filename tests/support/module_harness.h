// The module as the host runs it: TextImport.so loaded through its exports by the stand-in's
// loader, its add-on initialised on a project of the stand-in, commands run through
// ExecuteMacro. Tests that drive a wizard queue their steps (support/modal_driver.h) and then
// call Execute, which returns when the wizard has closed.
#pragma once

#include "host/core/host_session.h"
#include "host/core/project_description.h"
#include "host/loader/addon_module.h"
#include "platform/com/guid.h"
#include "support/temp_dir.h"

#include <QMainWindow>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>

class TModuleHarness {
public:
    static constexpr CLSID kAddonClassId = MakeGuid("{27DACE42-8427-11D2-AF21-0020AFDED75D}");

    // Creates the project from the description in a temporary folder, opens it with the host's
    // folder set to the build's bin folder (the coordinate-system library is under its GDAL
    // subfolder), loads the module and initialises its add-on with a host window.
    explicit TModuleHarness(const nlohmann::json& description)
        : m_project(m_dir / "project.kavro") {
        kavrohost::CreateProject(m_project, description);
        m_session.emplace(m_project, std::filesystem::path(TI_BIN_DIR) / "");
        m_window.setWindowTitle(QStringLiteral("Kavro"));
        m_window.resize(800, 600);
        const auto window = static_cast<HWND>(m_window.winId());
        m_session->SetWindows(window, window);
        m_module = std::make_unique<kavrohost::TAddonModule>(TI_BIN_DIR "/TextImport.so");
        m_addon.emplace(m_module->Create(kAddonClassId));
        m_initialized = m_addon->Initialize(m_session->Manager());
    }
    ~TModuleHarness() {
        if (m_addon) {
            m_addon->Finalize();
            m_addon.reset();
        }
        m_module.reset();
        m_session.reset();
    }
    TModuleHarness(const TModuleHarness&) = delete;
    TModuleHarness& operator=(const TModuleHarness&) = delete;

    [[nodiscard]] HRESULT InitializeResult() const { return m_initialized; }
    // ExecuteMacro of a command (1 text, 2 PTS, 3 SDR); returns when its wizard has closed.
    HRESULT Execute(int command) { return m_addon->Execute(command); }

    kavrohost::THostSession& Session() { return *m_session; }
    const std::filesystem::path& ProjectFile() const { return m_project; }
    const TTempDir& Dir() const { return m_dir; }
    QMainWindow& HostWindow() { return m_window; }

private:
    TTempDir m_dir;
    std::filesystem::path m_project;
    QMainWindow m_window;
    std::optional<kavrohost::THostSession> m_session;
    std::unique_ptr<kavrohost::TAddonModule> m_module;
    std::optional<kavrohost::TAddon> m_addon;
    HRESULT m_initialized = E_FAIL;
};
