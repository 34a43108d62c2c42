// The layer and style chooser on the demo project, opened through the host stand-in as a
// wizard opens it: the tree of styles with one preselected, and its search with a filter typed.
#include "addon/gui/project_tree_form.h"
#include "addon/gui/search_in_tree_form.h"
#include "addon/sample_addon.h"
#include "host/core/host_session.h"
#include "platform/gui/qt_text.h"
#include "screens/screen_registry.h"

#include <QTreeWidget>

#include <fstream>

namespace {

// The add-on bound to the demo project, created once for the run.
const TQmCustomAddon& DemoAddon(const TScreenContext& context) {
    // Both stay to the end of the process: the module's state keeps the add-on.
    static kavrohost::THostSession* session = nullptr;
    static TSampleAddon* addon = nullptr;
    if (!addon) {
        const std::filesystem::path file = std::filesystem::path(context.workDir) / "demo.kavro";
        std::ifstream description(std::filesystem::path(context.sourceDir) / "samples" /
                                  "demo-project.json");
        kavrohost::CreateProject(file, nlohmann::json::parse(description));
        session = new kavrohost::THostSession(file);
        addon = new TSampleAddon; // the module's state owns it
        addon->Initialize(session->Manager());
    }
    return *addon;
}

std::unique_ptr<TProjectTreeForm> StyleChooser(const TScreenContext& context) {
    auto form = std::make_unique<TProjectTreeForm>();
    form->setWindowTitle(QtText("Выбор стиля"));
    form->Fill(DemoAddon(context), TProjectNodeKind::Style);
    form->Preselect("REPER");
    return form;
}

std::unique_ptr<QWidget> ProjectTree(const TScreenContext& context) {
    return StyleChooser(context);
}

std::unique_ptr<QWidget> ProjectTreeSearch(const TScreenContext& context) {
    // The search opens over the chooser's tree, as "Найти ..." does; the chooser (hidden) and
    // the source go with the search dialog.
    auto search = std::make_unique<TSearchInTreeForm>();
    TProjectTreeForm* chooser = StyleChooser(context).release();
    chooser->setParent(search.get(), Qt::Dialog);
    auto* source = new TTreeViewSearchSource(
        *chooser->findChild<QTreeWidget*>(QStringLiteral("ProjectTree")), nullptr);
    QObject::connect(search.get(), &QObject::destroyed, [source] { delete source; });
    search->Open(*source, nullptr, Ansi("дорог"));
    return search;
}

const bool registered =
    RegisterScreens({{"project-tree", ProjectTree}, {"project-tree-search", ProjectTreeSearch}});

} // namespace
