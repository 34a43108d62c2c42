// The coordinate dialogs with realistic content: the coordinate system editor over the
// predefined systems of the built KavroGdal (list page with a filter, parameter page, a local
// zone system) and the zone editor with two zones.
#include "coords/coordinate_system_library.h"
#include "coords/gui/coordinate_system_editor.h"
#include "coords/gui/msk_editor.h"
#include "platform/gui/qt_text.h"
#include "screens/screen_registry.h"

#include <QLineEdit>

#include <stdexcept>

namespace {

// One catalog for every maker: reading the library's predefined list takes seconds.
TCoordinateSystemCatalog& Catalog(const TScreenContext& context) {
    static std::unique_ptr<TCoordinateSystemCatalog> catalog;
    if (!catalog) {
        auto provider = CreateGDALProvider(context.binDir);
        if (!provider)
            throw std::runtime_error("KavroGdal not found under " + context.binDir);
        catalog =
            std::make_unique<TCoordinateSystemCatalog>(TCoordinateSystemProviderList{provider});
        catalog->Reload();
    }
    return *catalog;
}

TCoordinateReferenceDef Reference(const char* caption, const char* format, const char* parameters,
                                  const char* bounds = "") {
    TCoordinateReferenceDef def;
    def.Caption = Ansi(caption);
    def.SetFormat(format);
    def.Parameters = parameters;
    def.SetBoundingBoxText(bounds);
    return def;
}

// Two zones of a city system, each a Gauss-Kruger zone of Pulkovo 1942 over its own strip.
TCoordinateReferenceDef CitySystem() {
    TMSKCoordinateReference msk(Reference("МСК-50 (г. Москва)", "MSK", ""));
    msk.Zones().push_back(std::make_shared<TCoordinateReference>(
        Reference("Зона 1 (западная)", "PROJ4",
                  "+proj=tmerc +lat_0=0 +lon_0=35.48333333333 +k=1 +x_0=1250000 +y_0=-5412900.566 "
                  "+ellps=krass +units=m +no_defs",
                  "1150000 0 1350000 1000000")));
    msk.Zones().push_back(std::make_shared<TCoordinateReference>(
        Reference("Зона 2 (восточная)", "PROJ4",
                  "+proj=tmerc +lat_0=0 +lon_0=38.48333333333 +k=1 +x_0=2250000 +y_0=-5412900.566 "
                  "+ellps=krass +units=m +no_defs",
                  "2150000 0 2350000 1000000")));
    msk.WriteParameters();
    return msk.Def();
}

std::unique_ptr<TCoordinateSystemEditorForm> Editor(const TScreenContext& context,
                                                    const TCoordinateReferenceDef& reference) {
    auto form = std::make_unique<TCoordinateSystemEditorForm>(nullptr);
    TCoordinateSystemEditorConfiguration configuration;
    configuration.Options = TCoordinateSystemEditorConfiguration::kHideUndefined;
    form->Setup(Catalog(context), configuration, reference);
    return form;
}

std::unique_ptr<QWidget> EditorList(const TScreenContext& context) {
    auto form = Editor(context, Reference("Pulkovo 1942 / Gauss-Kruger zone 7", "EPSG", "28407"));
    form->findChild<QLineEdit*>(QStringLiteral("FilterEdit"))
        ->setText(QStringLiteral("pulkovo gauss"));
    form->ApplyFilter();
    return form;
}

std::unique_ptr<QWidget> EditorParameters(const TScreenContext& context) {
    return Editor(context,
                  Reference("Пулково 1942, 7-я зона (участок Тула)", "PROJ4",
                            "+proj=tmerc +lat_0=0 +lon_0=39 +k=1 +x_0=7500000 +y_0=0 +ellps=krass "
                            "+towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22 +units=m +no_defs",
                            "7350000 5900000 7650000 6150000"));
}

std::unique_ptr<QWidget> EditorMsk(const TScreenContext& context) {
    RegisterStandardCoordinateSystemEditors();
    return Editor(context, CitySystem());
}

std::unique_ptr<QWidget> ZoneEditor(const TScreenContext& context) {
    return std::make_unique<TMSKCoordinateSystemEditor>(nullptr, Catalog(context), CitySystem());
}

const bool registered = RegisterScreens({
    {"coordinate-system-editor-list", EditorList},
    {"coordinate-system-editor-parameters", EditorParameters},
    {"coordinate-system-editor-msk", EditorMsk},
    {"msk-zone-editor", ZoneEditor},
});

} // namespace
