// The transformation page set up from the add-on bound to the host stand-in: the database's
// system, the outside library under the host's folder, and the order of the set-up steps.
#include "addon/com_server.h"
#include "addon/import_transformation_host.h"
#include "addon/sample_addon.h"
#include "coords/gui/import_transformation_page.h"
#include "host/core/host_session.h"
#include "host/test_project.h"
#include "platform/gui/qt_text.h"
#include "support/reference_def.h"
#include "support/temp_dir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

class TransformationPageOnHost : public ::testing::Test {
protected:
    // Opens a project made from the description; the host's folder is the application's.
    void Open(const nlohmann::json& description, const std::filesystem::path& hostFolder) {
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

    static QString Memo(const TImportTransformationPage& page) {
        return page.findChild<QPlainTextEdit*>(QStringLiteral("CsMemo"))->toPlainText();
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "project.kavro";
    std::unique_ptr<kavrohost::THostSession> m_session;
    TSampleAddon* m_addon = nullptr;
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
