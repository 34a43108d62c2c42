// Providers of coordinate-system formats: what a provider answers when it cannot do more.
#include "coords/coordinate_system_provider.h"

bool TCoordinateSystemProvider::GetGeoFileInfo(const AnsiString&, TGeoFileInfo& info) {
    info.Clear();
    info.Message = "Not supported";
    return false;
}

bool TCoordinateSystemProvider::ExportReference(const TCoordinateReference&, const AnsiString&,
                                                TCoordinateReferenceDef& result) {
    result.Clear();
    return false;
}
