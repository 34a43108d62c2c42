// The layer and style chooser and its search, driven through their widgets offscreen over a
// project of the host stand-in.
#include "addon/chooser_project.h"
#include "addon/gui/project_tree_form.h"
#include "addon/gui/search_in_tree_form.h"
#include "platform/gui/qt_text.h"
#include "support/modal_driver.h"
#include "ui/scripted_interaction.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <thread>

namespace {

using ChooserDialog = ChooserOnHostStandIn;

QTreeWidget* TreeOf(QWidget* form, const char* name = "ProjectTree") {
    return form->findChild<QTreeWidget*>(QString::fromLatin1(name));
}
QPushButton* ButtonOf(QWidget* form, const char* name) {
    return form->findChild<QPushButton*>(QString::fromLatin1(name));
}

void Click(QTreeWidget* tree, QTreeWidgetItem* item) {
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}
void DoubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// Acts on the dialog once it shows; a dialog the action leaves open (a failed check) is
// cancelled, so that a failure never leaves the test waiting on it.
void OnDialog(const char* objectName, std::function<void(QWidget*)> action) {
    WhenShown(objectName, [action = std::move(action)](QWidget* form) {
        action(form);
        if (auto* dialog = qobject_cast<QDialog*>(form); dialog && dialog->isVisible())
            dialog->reject();
    });
}

// The results in tree order as "text" or "*text" for the matches drawn in bold.
std::vector<std::string> Results(QTreeWidget* tree) {
    std::vector<std::string> texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts.push_back(((*it)->font(0).bold() ? "*" : "") + (*it)->text(0).toStdString());
    return texts;
}

// Types the text into the search's filter and lets its timer apply it.
void TypeFilter(QWidget* form, const char* utf8) {
    auto* filter = form->findChild<QLineEdit*>(QStringLiteral("Filter"));
    filter->clear();
    // Key by key, with the characters as the keys' text (Cyrillic has no key codes here).
    for (QChar c : QString::fromUtf8(utf8)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(filter, &press);
    }
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer"));
    EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 2000));
}

TEST_F(ChooserDialog, TreeLabelAndLevelsFollowTheRequestedKind) {
    struct Case {
        TProjectNodeKind kind;
        const char* label;
        int depth;
    } cases[] = {{TProjectNodeKind::Map, "&Список карт:", 1},
                 {TProjectNodeKind::Layer, "&Список слоев:", 2},
                 {TProjectNodeKind::Style, "&Список стилей:", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TProjectTreeForm form;
        form.Fill(*m_addon, c.kind);
        EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("TreeLabel"))->text(), QtText(c.label));
        int depth = 0;
        for (QTreeWidgetItem* item = TreeOf(&form)->topLevelItem(0); item; item = item->child(0))
            ++depth;
        EXPECT_EQ(depth, c.depth);
    }
}

TEST_F(ChooserDialog, OkFollowsTheNodeKindAndADoubleClickActsAsOk) {
    AnsiString id;
    OnDialog("ProjectTreeForm", [](QWidget* form) {
        EXPECT_EQ(form->windowTitle(), QtText("Выбор стиля"));
        QTreeWidget* tree = TreeOf(form);
        QPushButton* ok = ButtonOf(form, "OkButton");
        EXPECT_TRUE(ok->isEnabled()); // before the first selection, as laid out
        tree->expandAll();
        QTreeWidgetItem* map = tree->topLevelItem(0);
        QTreeWidgetItem* layer = map->child(0);
        Click(tree, map);
        EXPECT_FALSE(ok->isEnabled());
        DoubleClick(tree, layer);
        EXPECT_FALSE(ok->isEnabled());
        EXPECT_TRUE(form->isVisible()) << "a double click on a layer must not choose it";
        tree->expandAll();
        Click(tree, layer->child(1));
        EXPECT_TRUE(ok->isEnabled());
        DoubleClick(tree, layer->child(1));
        EXPECT_FALSE(form->isVisible());
    });
    EXPECT_TRUE(SelectInProjectTree(*m_addon, Ansi("Выбор стиля"), TProjectNodeKind::Style, id));
    EXPECT_EQ(id, "S2");
}

TEST_F(ChooserDialog, ChoosingTheSameStyleAgainIsNoChangeAndCancelKeepsTheIdentifier) {
    AnsiString id = "S2";
    OnDialog("ProjectTreeForm", [](QWidget* form) {
        const QList<QTreeWidgetItem*> selected = TreeOf(form)->selectedItems();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected[0]->text(0), QtText("Репер"));
        EXPECT_TRUE(selected[0]->parent()->isExpanded());
        EXPECT_TRUE(ButtonOf(form, "OkButton")->isEnabled());
        QTest::mouseClick(ButtonOf(form, "OkButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id));
    EXPECT_EQ(id, "S2");

    OnDialog("ProjectTreeForm", [](QWidget* form) {
        QTreeWidget* tree = TreeOf(form);
        Click(tree, tree->topLevelItem(1)->child(0)->child(0) /* S4 */);
        QTest::mouseClick(ButtonOf(form, "CancelButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id));
    EXPECT_EQ(id, "S2");

    OnDialog("ProjectTreeForm", [](QWidget* form) {
        QTreeWidget* tree = TreeOf(form);
        tree->expandAll();
        Click(tree, tree->topLevelItem(1)->child(0)->child(0));
        QTest::keyClick(tree, Qt::Key_Return);
    });
    EXPECT_TRUE(SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id));
    EXPECT_EQ(id, "S4");
}

TEST_F(ChooserDialog, PreselectionPrefersTheRequestedKindAndAnUnknownIdSelectsNothing) {
    // L2 names the layer "Дороги" and the style "Протока".
    TProjectTreeForm form;
    form.Fill(*m_addon, TProjectNodeKind::Style);
    form.Preselect("L2");
    ASSERT_TRUE(form.SelectedNode());
    EXPECT_EQ(form.SelectedNode()->kind, TProjectNodeKind::Style);
    EXPECT_EQ(TreeOf(&form)->selectedItems().value(0)->text(0), QtText("Протока"));
    form.Fill(*m_addon, TProjectNodeKind::Layer);
    form.Preselect("L2");
    EXPECT_EQ(TreeOf(&form)->selectedItems().value(0)->text(0), QtText("Дороги"));

    AnsiString id = "GONE";
    OnDialog("ProjectTreeForm", [](QWidget* form) {
        EXPECT_TRUE(TreeOf(form)->selectedItems().isEmpty());
        QTest::mouseClick(ButtonOf(form, "OkButton"), Qt::LeftButton);
    });
    // OK with nothing selected confirms an empty identifier.
    EXPECT_TRUE(SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id));
    EXPECT_EQ(id, "");
}

TEST_F(ChooserDialog, AHostFailureWhileFillingReachesTheCallerAndNoDialogStays) {
    AnsiString id = "S1";
    m_session->FailOn("IQmGISDatabase.GetLayerInfo", 2, "Слой недоступен");
    try {
        (void)SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id);
        FAIL() << "the host's failure must reach the caller";
    } catch (const EHResultError& e) {
        EXPECT_EQ(e.Message(), Ansi("Слой недоступен. [IQmGISDatabase.GetLayerInfo]"));
    }
    EXPECT_EQ(id, "S1");
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_NE(w->objectName(), QStringLiteral("ProjectTreeForm"));
}

TEST_F(ChooserDialog, FindItemFocusesTheLayerBeforeItsMapAndSelectsItInTheTree) {
    AnsiString id;
    OnDialog("ProjectTreeForm", [](QWidget* form) {
        QTreeWidget* tree = TreeOf(form);
        OnDialog("SearchInTreeForm", [](QWidget* search) {
            EXPECT_EQ(search->windowTitle(), QtText("Поиск"));
            // Map M2 and its layer L3 are both named "Реки".
            TypeFilter(search, "реки");
            QTreeWidgetItem* focused = TreeOf(search, "SearchTree")->currentItem();
            ASSERT_NE(focused, nullptr);
            EXPECT_EQ(focused->text(0), QtText("Реки"));
            EXPECT_NE(focused->parent(), nullptr) << "the layer, not the map";
            QTest::mouseClick(ButtonOf(search, "OK"), Qt::LeftButton);
        });
        ASSERT_TRUE(QTest::qWaitForWindowActive(form)); // shortcuts need the active window
        QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);

        const QList<QTreeWidgetItem*> selected = tree->selectedItems();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected[0], tree->topLevelItem(1)->child(0));
        EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
        EXPECT_FALSE(ButtonOf(form, "OkButton")->isEnabled()); // a layer, and styles are asked
        QTest::mouseClick(ButtonOf(form, "CancelButton"), Qt::LeftButton);
    });
    EXPECT_FALSE(SelectInProjectTree(*m_addon, "", TProjectNodeKind::Style, id));
}

// The search over a plain tree widget: every word must begin a word of the node's text.
class SearchInTree : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* text : {"Slab", "Lab-ab", "x abc"})
            new QTreeWidgetItem(&m_tree, {QString::fromUtf8(text)});
        auto* rivers = new QTreeWidgetItem(&m_tree, {QtText("Реки")});
        new QTreeWidgetItem(rivers, {QtText("Малые реки и ручьи")});
        m_form.Open(m_source, nullptr, "");
        m_form.show();
    }

    TScriptedInteraction m_interaction;
    QTreeWidget m_tree;
    TTreeViewSearchSource m_source{m_tree, nullptr};
    TSearchInTreeForm m_form;
};

TEST_F(SearchInTree, WordsMatchOnlyAtWordStartsAndMatchesAreBold) {
    struct Case {
        const char* filter;
        std::vector<std::string> results;
    } cases[] = {
        {"ab", {"*Lab-ab", "*x abc"}},
        {"AB X", {"*x abc"}},
        {"ab cd", {}},
        {"РЕКИ", {"*Реки", "*Малые реки и ручьи"}},
        {"ручьи мал", {"Реки", "*Малые реки и ручьи"}},
        {"  ", {}},
    };
    QTreeWidget* results = TreeOf(&m_form, "SearchTree");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        TypeFilter(&m_form, c.filter);
        EXPECT_EQ(Results(results), c.results);
    }

    // Up and Down in the filter move through the results.
    TypeFilter(&m_form, "ab");
    EXPECT_EQ(results->currentItem()->text(0), QStringLiteral("Lab-ab"));
    QTest::keyClick(m_form.findChild<QLineEdit*>(QStringLiteral("Filter")), Qt::Key_Down);
    EXPECT_EQ(results->currentItem()->text(0), QStringLiteral("x abc"));
    // The focused result stays focused while it still shows.
    TypeFilter(&m_form, "a");
    EXPECT_EQ(results->currentItem()->text(0), QStringLiteral("x abc"));
}

TEST_F(SearchInTree, EveryChangeRestartsTheWait) {
    auto* filter = m_form.findChild<QLineEdit*>(QStringLiteral("Filter"));
    auto* timer = m_form.findChild<QTimer*>(QStringLiteral("Timer"));
    QTest::keyClicks(filter, QStringLiteral("a"));
    ASSERT_TRUE(timer->isActive());
    // No events are processed while sleeping, so the timer cannot fire.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_LT(timer->remainingTime(), 60);
    QTest::keyClicks(filter, QStringLiteral("b"));
    EXPECT_GT(timer->remainingTime(), 60);
    EXPECT_TRUE(Results(TreeOf(&m_form, "SearchTree")).empty());
    EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }, 2000));
    EXPECT_EQ(Results(TreeOf(&m_form, "SearchTree")).size(), 2u);
}

TEST_F(SearchInTree, OkWithoutAFocusedResultAsksToChooseAndStaysOpen) {
    TypeFilter(&m_form, "   ");
    QTest::mouseClick(ButtonOf(&m_form, "OK"), Qt::LeftButton);
    EXPECT_EQ(m_interaction.Texts(),
              std::vector<AnsiString>{Ansi("ВНИМАНИЕ! Необходимо выбрать элемент.")});
    EXPECT_TRUE(m_form.isVisible());
    EXPECT_NE(m_form.result(), QDialog::Accepted);

    TypeFilter(&m_form, "bab");
    EXPECT_TRUE(Results(TreeOf(&m_form, "SearchTree")).empty());
    QTest::mouseClick(ButtonOf(&m_form, "OK"), Qt::LeftButton);
    EXPECT_EQ(m_interaction.shown.size(), 2u);

    TypeFilter(&m_form, "lab");
    QTest::mouseClick(ButtonOf(&m_form, "OK"), Qt::LeftButton);
    EXPECT_EQ(m_form.result(), QDialog::Accepted);
    EXPECT_EQ(TTreeViewSearchSource::Item(m_form.FocusedSourceNode())->text(0),
              QStringLiteral("Lab-ab"));
}

TEST(TreeViewSearchSource, TopLevelIndexOutOfBoundsIsAnError) {
    QTreeWidget tree;
    new QTreeWidgetItem(&tree, {QStringLiteral("a")});
    const TTreeViewSearchSource source(
        tree, nullptr, 7, [](std::intptr_t user, QTreeWidgetItem*) { return user != 7; });
    EXPECT_EQ(source.Flags(source.Child(nullptr, 0)), 0u);
    try {
        (void)source.Child(nullptr, 1);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Index \"1\" out of bounds \"1\"");
    }
}

} // namespace
