// The transformation page set up from the add-on bound to the host stand-in: the database's
// system, the outside library under the host's folder, and the order of the set-up steps.
#include "addon/addon_on_host.h"
#include "addon/import_transformation_host.h"
#include "coords/gui/import_transformation_page.h"
#include "host/test_project.h"
#include "platform/gui/qt_text.h"
#include "support/reference_def.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

class TransformationPageOnHost : public TAddonOnHostTest {
protected:
    static QString Memo(const TImportTransformationPage& page) {
        return page.findChild<QPlainTextEdit*>(QStringLiteral("CsMemo"))->toPlainText();
    }
};

TEST_F(TransformationPageOnHost, DatabaseWithASystemOpensOnTheSameSystemAndConvertsByTheLibrary) {
    // The built binaries' folder holds the library in its GDAL subfolder.
    Open(SmallProjectDescription(), TI_BIN_DIR);
    TImportTransformationPage page;
    page.Setup(TAddonImportTransformationHost(*m_addon),
               TImportTransformationSetupOrder::DatabaseReferenceFirst);

    EXPECT_TRUE(Memo(page).startsWith(
        QtText("Параметры исходной СК, совпадают с параметрами СК базы данных, данные будут "
               "импортированы без трансформации.\n\nИсходная система координат:\nНазвание: "
               "WGS 84 / UTM zone 37N\n")))
        << Memo(page).toStdString();
    EXPECT_EQ(page.findChild<QLineEdit*>(QStringLiteral("CsEdit"))->text(),
              QStringLiteral("WGS 84 / UTM zone 37N"));
    EXPECT_NE(page.Catalog().FindFormat("PROJ4"), nullptr);

    // A run by coordinate systems from geographic WGS 84 into the database's UTM zone 37N.
    page.findChild<QComboBox*>(QStringLiteral("TransformationTypeComboBox"))->setCurrentIndex(1);
    page.ShowSource(RefDef("PROJ4", "+proj=longlat +datum=WGS84 +no_defs", false, "WGS 84"));
    page.Transformation().PrepareImportTransformation();
    double x = 39, y = 0;
    EXPECT_TRUE(page.Transformation().ConvertPoint(x, y).Succeeded());
    // The zone's central meridian 39°E on the equator is the false origin (500000, 0), metres.
    EXPECT_NEAR(x, 500000.0, 1e-3);
    EXPECT_NEAR(y, 0.0, 1e-3);
}

TEST_F(TransformationPageOnHost, DatabaseWithoutConfigurationShowsTheUndefinedLine) {
    nlohmann::json description = SmallProjectDescription();
    description.erase("coordinateSystem");
    TTempDir noLibrary;
    Open(description, noLibrary.Path());
    TImportTransformationPage page;
    page.Setup(TAddonImportTransformationHost(*m_addon),
               TImportTransformationSetupOrder::CatalogFirst);

    EXPECT_EQ(Memo(page), QtText("Исходная система координат не определена, данные будут "
                                 "импортированы без трансформации"));
    EXPECT_EQ(page.findChild<QLineEdit*>(QStringLiteral("CsEdit"))->text(),
              QtText("<Локальная система координат>"));
    // Without the library only the module's own local zone systems are offered.
    EXPECT_EQ(page.Catalog().FindFormat("PROJ4"), nullptr);
    EXPECT_NE(page.Catalog().FindFormat("MSK"), nullptr);
}

TEST_F(TransformationPageOnHost, SetUpOrderDecidesWhetherTheCatalogIsLoadedBeforeAHostFailure) {
    Open(SmallProjectDescription(), TI_BIN_DIR);
    struct Case {
        TImportTransformationSetupOrder order;
        bool catalogLoaded;
    } cases[] = {
        {TImportTransformationSetupOrder::CatalogFirst, true},
        {TImportTransformationSetupOrder::DatabaseReferenceFirst, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.catalogLoaded);
        m_session->FailOn("IQmGISDatabase.ReadStream", 1, "Поток недоступен");
        TImportTransformationPage page;
        EXPECT_THROW(page.Setup(TAddonImportTransformationHost(*m_addon), c.order), EHResultError);
        EXPECT_EQ(page.Catalog().FindFormat("PROJ4") != nullptr, c.catalogLoaded);
    }
}

} // namespace
