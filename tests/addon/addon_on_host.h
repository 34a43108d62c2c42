// A sample add-on bound to a project of the host stand-in, made in a temporary folder: the
// fixture of the shell's tests that need real host answers.
#pragma once

#include "addon/com_server.h"
#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "host/core/project_description.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>

class TAddonOnHostTest : public ::testing::Test {
protected:
    // Creates the project from the description and initialises the add-on on it; the host's
    // folder is what the application object answers.
    void Open(const nlohmann::json& description, const std::filesystem::path& hostFolder = {}) {
        kavrohost::CreateProject(m_file, description);
        m_session = std::make_unique<kavrohost::THostSession>(m_file, hostFolder);
        m_addon = new TSampleAddon; // the module's state owns it
        m_addon->Initialize(m_session->Manager());
    }
    void TearDown() override {
        if (m_addon) {
            m_addon->Finalize();
            UnloadAddonModule();
        }
        m_session.reset();
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
};
