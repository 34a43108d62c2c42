// The layer and style chooser on the demo project, opened through the host stand-in as a
// wizard opens it: the tree of styles with one preselected, and its search with a filter typed.
#include "addon/gui/project_tree_form.h"
#include "addon/gui/search_in_tree_form.h"
#include "platform/gui/qt_text.h"
#include "screens/demo_addon.h"
#include "screens/screen_registry.h"

#include <QTreeWidget>

namespace {

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
