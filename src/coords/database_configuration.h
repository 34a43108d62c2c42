// The host database's configuration document and the database's coordinate system read from it.
#pragma once

#include "coords/coordinate_reference.h"

#include <functional>
#include <string>

// The name of the database stream that holds the configuration document.
inline constexpr const char* kDatabaseConfigurationStream = "Kavro.Database\\Configuration";

class TGisDatabaseConfiguration {
public:
    // Reads the configuration bytes (XML text; the compact binary form is reported as
    // unreadable). Never throws: a failure comes back as a failed result, and the reference is
    // then cleared.
    TFunctionResult Read(std::string_view bytes);

    const TCoordinateReferenceDef& DatabaseReference() const { return m_databaseReference; }

private:
    TCoordinateReferenceDef m_databaseReference;
};

// Reads a named database stream into bytes; false when the database has no such stream. Errors of
// the host call propagate (EHResultError).
using TReadDatabaseStream = std::function<bool(const AnsiString& name, std::string& bytes)>;

// The database's coordinate system: the local reference "<Локальная система координат>" unless
// the configuration stream exists and reads.
TCoordinateReferenceDef GetDatabaseCoordinateReference(const TReadDatabaseStream& readStream);
