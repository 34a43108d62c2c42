// The desktop host's window on the offscreen platform: menus from the registered add-ons, a
// command run from the menu, the view refreshed and zoomed to the rectangle it asked for.
#include "host/app/main_window.h"
#include "registry_env.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <QApplication>
#include <QMenuBar>

#include <gtest/gtest.h>

using namespace kavrohost;

namespace {

QMenu* SubMenu(const QList<QAction*>& actions, const QString& title) {
    for (QAction* a : actions)
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

QAction* Action(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

TEST(HostMainWindow, BuildsAddOnMenusAndRunsACommand) {
    int argc = 1;
    char name[] = "host_gui_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    TTempDir dir;
    TRegistryEnv env(dir / "registry.reg");
    {
        TAddonModule module(TEST_ADDON_PATH);
        ASSERT_EQ(module.RegisterAddOn(nullptr, true), S_OK);
        ASSERT_EQ(module.RegisterServer(), S_OK);
    }
    CreateProject(dir / "p.kavro", SmallProjectDescription());
    {
        TMainWindow window;
        QMenu* service = SubMenu(window.menuBar()->actions(), QString::fromUtf8("&Сервис"));
        ASSERT_NE(service, nullptr);
        QMenu* test = SubMenu(service->actions(), QString::fromUtf8("&Тест"));
        ASSERT_NE(test, nullptr);
        QAction* point = Action(test, QString::fromUtf8("Точка..."));
        ASSERT_NE(point, nullptr);
        ASSERT_NE(Action(test, QString::fromUtf8("Сбой")), nullptr);
        EXPECT_FALSE(point->isEnabled()); // no project yet

        ASSERT_TRUE(window.OpenProject(dir / "p.kavro"));
        EXPECT_TRUE(window.windowTitle().startsWith("p"));
        auto* tree = window.findChild<QTreeWidget*>("ProjectTree");
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->topLevelItemCount(), 2);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), QString::fromUtf8("Карта 1"));
        EXPECT_TRUE(point->isEnabled());
        EXPECT_TRUE(window.MapView()->Objects().empty());

        point->trigger();
        ASSERT_EQ(window.MapView()->Objects().size(), 1u);
        EXPECT_EQ(window.MapView()->View(), QRectF(QPointF(10, 20), QPointF(30, 40)));
    }
    EXPECT_EQ(ReadObjects(dir / "p.kavro").size(), 1u);
}
