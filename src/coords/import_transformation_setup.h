// What the transformation page of the import wizards needs at set-up, apart from its widgets:
// the host's answers, the catalog with the outside library's provider, and the text that
// describes the chosen source coordinate system.
#pragma once

#include "coords/coordinate_system_catalog.h"

#include <memory>
#include <vector>

// The host as the transformation page sees it when a wizard opens.
class IImportTransformationHost {
public:
    virtual ~IImportTransformationHost() = default;
    // The host application's folder text; the outside library is looked for under it + "GDAL".
    [[nodiscard]] virtual AnsiString ApplicationFolder() const = 0;
    // The database's coordinate system; the local reference when the database has none. Host
    // failures raise.
    [[nodiscard]] virtual TCoordinateReferenceDef DatabaseReference() const = 0;
};

// The order of the set-up steps: the PTS and SDR wizards load the catalog first, the text
// wizard reads and shows the database's system first.
enum class TImportTransformationSetupOrder { CatalogFirst, DatabaseReferenceFirst };

// The folder of the outside library: the application's folder text with "GDAL" appended. A
// separator is put between them when the text does not end in one, so that a folder given
// without its final separator still names its GDAL subfolder.
[[nodiscard]] AnsiString CoordinateSystemLibraryFolder(const AnsiString& applicationFolder);

// A catalog with the provider of the outside library when the library is found under the
// application's folder (none otherwise), loaded. Failures of the load (the library cannot be
// initialised) propagate.
[[nodiscard]] std::unique_ptr<TCoordinateSystemCatalog>
CreateImportCatalog(const AnsiString& applicationFolder);

// The lines that describe the source system against the database's: a single line when the
// source is undefined; otherwise what the import will do followed by the display text of the
// systems involved (each display text is split into its lines).
[[nodiscard]] std::vector<AnsiString>
SourceReferenceDescription(const TCoordinateReferenceDef& source,
                           const TCoordinateReferenceDef& database);
