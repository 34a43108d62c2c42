// The desktop host's main window: the project tree, the map view and the menu built from the
// registered active add-ons.
#pragma once

#include "host/core/host_session.h"
#include "host/loader/addon_module.h"
#include "map_view.h"

#include <QMainWindow>
#include <QTreeWidget>

#include <memory>

namespace kavrohost {

class TMainWindow final : public QMainWindow {
public:
    TMainWindow();
    ~TMainWindow() override;

    // Opens a project (closing the one open); shows a message box when it cannot.
    bool OpenProject(const std::filesystem::path& file);
    void CloseProject();
    TMapView* MapView() const { return m_view; }

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

    std::unique_ptr<THostSession> m_session;
    std::vector<std::unique_ptr<TLoadedAddon>> m_addons;
    QTreeWidget* m_tree = nullptr;
    TMapView* m_view = nullptr;
    std::vector<QAction*> m_commandActions;
};

} // namespace kavrohost
