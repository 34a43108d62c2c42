// The add-on's answers to the transformation page's set-up: the host application's folder and
// the database's coordinate system.
#pragma once

#include "coords/import_transformation_setup.h"

class TQmCustomAddon;

class TAddonImportTransformationHost final : public IImportTransformationHost {
public:
    explicit TAddonImportTransformationHost(const TQmCustomAddon& addon) : m_addon(addon) {}

    // The application object's folder; raises when the host does not offer it.
    AnsiString ApplicationFolder() const override;
    TCoordinateReferenceDef DatabaseReference() const override;

private:
    const TQmCustomAddon& m_addon;
};
