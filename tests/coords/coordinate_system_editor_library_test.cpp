// The coordinate system editor over the predefined systems of the built KavroGdal: the whole
// list, the source found in it under another caption, and the word filter over it.
#include "coords/coordinate_system_library.h"
#include "coords/gui/coordinate_system_editor.h"
#include "platform/gui/qt_text.h"
#include "support/reference_def.h"
#include "text/words_filter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeView>
#include <gtest/gtest.h>

TEST(CoordinateSystemEditorWithTheLibrary, ListsEveryPredefinedSystemAndFiltersThem) {
    auto provider = CreateGDALProvider(TI_BIN_DIR);
    ASSERT_NE(provider, nullptr) << "KavroGdal not found under " << TI_BIN_DIR;
    TCoordinateSystemCatalog catalog({provider});
    catalog.Reload();
    size_t defined = 0;
    for (const auto& reference : catalog.References())
        defined += reference->IsUndefined() ? 0 : 1;
    ASSERT_GT(defined, 1000u);

    // A wizard's source: WGS 84 by its EPSG code under a caption of the user's.
    TCoordinateSystemEditorForm form(nullptr);
    TCoordinateSystemEditorConfiguration configuration;
    configuration.Options = TCoordinateSystemEditorConfiguration::kHideUndefined;
    form.Setup(catalog, configuration, RefDef("EPSG", "4326", false, "Моя WGS"));
    form.show();
    auto* view = form.findChild<QTreeView*>(QStringLiteral("ListView"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(static_cast<size_t>(view->model()->rowCount()), defined);
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl"));
    EXPECT_EQ(pages->currentIndex(), 0);
    const QModelIndex current = view->currentIndex();
    ASSERT_TRUE(view->selectionModel()->isSelected(current));
    EXPECT_EQ(current.data().toString(), QStringLiteral("WGS 84"));

    auto* formats = form.findChild<QComboBox*>(QStringLiteral("TypeComboBox"));
    QStringList names;
    for (int i = 0; i < formats->count(); ++i)
        names << formats->itemText(i);
    EXPECT_EQ(names, (QStringList{"PROJ4", "WKT", "EPSG", "MSK"}));
    EXPECT_EQ(formats->currentText(), QStringLiteral("EPSG"));

    form.findChild<QLineEdit*>(QStringLiteral("FilterEdit"))
        ->setText(QStringLiteral("pulkovo GAUSS 7"));
    form.ApplyFilter();
    TWordsFilter filter;
    filter.SetText("pulkovo GAUSS 7");
    const int shown = view->model()->rowCount();
    EXPECT_GT(shown, 0);
    size_t expected = 0;
    for (const auto& reference : catalog.References())
        expected += !reference->IsUndefined() && filter.Matches(reference->GetCaption()) ? 1 : 0;
    EXPECT_EQ(static_cast<size_t>(shown), expected);
    for (int row = 0; row < shown; ++row) {
        const QString caption = view->model()->index(row, 0).data().toString();
        EXPECT_TRUE(filter.Matches(FromQString(caption))) << caption.toStdString();
    }
}
