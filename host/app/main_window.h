// The desktop host's main window: the project tree with the style colours, the map view, the
// attribute panel of the clicked object, the object count, and the menu built from the
// registered active add-ons.
#pragma once

#include "attribute_panel.h"
#include "host/core/host_session.h"
#include "host/loader/addon_module.h"
#include "map_view.h"
#include "project_captions.h"

#include <QLabel>
#include <QMainWindow>
#include <QTreeWidget>

#include <memory>

namespace kavrohost {

class TMainWindow final : public QMainWindow {
public:
    TMainWindow();
    ~TMainWindow() override;

    // Opens a project (closing the one open). When it cannot, shows a message box, or writes
    // the message to the error output when `messageBox` is false (no one to answer the box).
    bool OpenProject(const std::filesystem::path& file, bool messageBox = true);
    void CloseProject();
    TMapView* MapView() const { return m_view; }
    TAttributePanel* AttributePanel() const { return m_panel; }
    // True while an add-on command runs (its dialogs are open).
    bool CommandRunning() const { return m_running; }
    // The open project's file; empty without one.
    const std::filesystem::path& ProjectFile() const { return m_projectFile; }

private:
    struct TLoadedAddon {
        std::unique_ptr<TAddonModule> module;
        std::unique_ptr<TAddon> addon;
        TAddonDescription description;
        bool initialized = false;
    };

    void LoadAddons();
    void BuildAddonMenus();
    void InitializeAddons();
    void FinalizeAddons();
    void RunCommand(TLoadedAddon& addon, std::int32_t commandId);
    void FillTree();
    void RefreshView(bool zoomToShowRect);
    void ShowSelected(std::optional<std::size_t> index);

    std::unique_ptr<THostSession> m_session;
    std::vector<std::unique_ptr<TLoadedAddon>> m_addons;
    QTreeWidget* m_tree = nullptr;
    TMapView* m_view = nullptr;
    TAttributePanel* m_panel = nullptr;
    QLabel* m_count = nullptr;
    TProjectCaptions m_captions;
    std::filesystem::path m_projectFile;
    std::vector<QAction*> m_commandActions;
    bool m_running = false;
    bool m_showAsked = false; // the module asked to show a rectangle during the command
    std::optional<TObjectRecord> m_selected; // what the attribute panel shows
};

} // namespace kavrohost
