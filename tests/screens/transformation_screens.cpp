// The transformation page of the import wizards on both of its sheets, and the dialogs of the
// chain's four kinds of step.
#include "coords/gui/import_transformation_page.h"
#include "coords/gui/transform_control.h"
#include "coords/gui/transform_item_dialogs.h"
#include "platform/gui/qt_text.h"
#include "screens/screen_registry.h"
#include "ui/gui/angle_edit.h"

#include <QComboBox>
#include <QTreeWidget>

#include <numbers>

namespace {

// A host whose folder has no outside library: the pictures need only the systems' texts.
class TScreenHost final : public IImportTransformationHost {
public:
    TScreenHost(AnsiString folder, TCoordinateReferenceDef database)
        : m_folder(std::move(folder)), m_database(std::move(database)) {}
    AnsiString ApplicationFolder() const override { return m_folder; }
    TCoordinateReferenceDef DatabaseReference() const override { return m_database; }

private:
    AnsiString m_folder;
    TCoordinateReferenceDef m_database;
};

TCoordinateReferenceDef Reference(const char* caption, const char* parameters, const char* box) {
    TCoordinateReferenceDef def;
    def.Caption = Ansi(caption);
    def.SetFormat("PROJ4");
    def.Parameters = parameters;
    if (box)
        def.SetBoundingBoxText(box);
    return def;
}

TCoordinateReferenceDef Database() {
    return Reference("Pulkovo 1942 / Gauss-Kruger zone 7",
                     "+proj=tmerc +lat_0=0 +lon_0=39 +k=1 +x_0=7500000 +y_0=0 +ellps=krass "
                     "+towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22 +units=m +no_defs",
                     "7300000 4500000 7700000 8000000");
}

// The page as a wizard shows it, set up on a database in Gauss-Kruger zone 7.
std::unique_ptr<TImportTransformationPage> Page(const TScreenContext& context, int method) {
    auto page = std::make_unique<TImportTransformationPage>();
    page->setWindowTitle(QtText("Трансформация координат"));
    page->Setup(TScreenHost(context.workDir, Database()),
                TImportTransformationSetupOrder::CatalogFirst);
    page->findChild<QComboBox*>(QStringLiteral("TransformationTypeComboBox"))
        ->setCurrentIndex(method);
    page->resize(page->sizeHint().expandedTo(QSize(520, 340)));
    return page;
}

std::unique_ptr<QWidget> AffinePage(const TScreenContext& context) {
    auto page = Page(context, 0);
    TTransformData& chain = page->Chain();
    chain.Add(std::make_unique<TTransformTranslationItem>(-7500000, -6200000));
    chain.Add(std::make_unique<TTransformRotationItem>(-std::numbers::pi / 180 * 1.2575));
    chain.Add(std::make_unique<TTransformScalingItem>(0.3048, 0.3048));
    chain.Add(std::make_unique<TTransformShearItem>(0.05, 0));
    page->TransformControl()->SelectItemLater(&chain.Get(1));
    return page;
}

std::unique_ptr<QWidget> UndefinedSourcePage(const TScreenContext& context) {
    auto page = Page(context, 1);
    page->ShowSource(LocalCoordinateReference(LocalCoordinateSystemCaption()));
    return page;
}

std::unique_ptr<QWidget> SameSourcePage(const TScreenContext& context) {
    return Page(context, 1);
}

std::unique_ptr<QWidget> DifferentSourcePage(const TScreenContext& context) {
    auto page = Page(context, 1);
    page->ShowSource(Reference("WGS 84", "+proj=longlat +datum=WGS84 +no_defs", "-180 -90 180 90"));
    return page;
}

std::unique_ptr<QWidget> PairDialog(const char* caption, double x, double y) {
    return std::make_unique<TTransformPairDialog>(QtText(caption), x, y, nullptr);
}

std::unique_ptr<QWidget> RotationDialog(const TScreenContext&) {
    return std::make_unique<TTransformRotationDialog>(std::numbers::pi / 180 * 12.5, nullptr);
}

const bool registered = RegisterScreens({
    {"transformation-page-affine", AffinePage},
    {"transformation-page-source-undefined", UndefinedSourcePage},
    {"transformation-page-source-same", SameSourcePage},
    {"transformation-page-source-different", DifferentSourcePage},
    {"transform-translation-dialog",
     [](const TScreenContext&) { return PairDialog("Смещение", -7500000, -6200000.25); }},
    {"transform-scaling-dialog",
     [](const TScreenContext&) { return PairDialog("Увел./Сжатие", 0.9996, 0.9996); }},
    {"transform-rotation-dialog", RotationDialog},
    {"transform-shear-dialog",
     [](const TScreenContext&) { return PairDialog("Сдвиг", 0.0012, -0.0004); }},
});

} // namespace
