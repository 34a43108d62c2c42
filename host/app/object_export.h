// Text and GeoJSON forms of the objects of a project.
#pragma once

#include "host/store/object_records.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace kavrohost {

// One line: id, layer, then per shape its style and parts (closed flag, vertex count,
// vertices), then the attribute values.
std::string ObjectLine(const TObjectRecord& object);
// Writes the committed objects of a project as a GeoJSON FeatureCollection, one feature per
// shape (an object without shapes gives one feature without geometry); streams the objects.
// Coordinates are the database's; a "crs" member names its coordinate system.
// Returns the number of features.
std::size_t ExportGeoJson(const std::filesystem::path& project, std::ostream& out);
// What the committed objects of a project are, for a reader: their number, then for every
// layer that has objects its count and, under it, the number of shapes of each style.
void PrintProjectSummary(const std::filesystem::path& project, std::ostream& out);

} // namespace kavrohost
