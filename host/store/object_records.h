// The committed state of map objects as plain records, for checks and exports. Texts are UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kavrohost {

struct TVertexRecord {
    double x, y, z;
};
struct TPartRecord {
    bool closed = false;
    std::vector<TVertexRecord> vertices;
};
struct TShapeRecord {
    std::string styleId;
    std::vector<TPartRecord> parts;
};
// One attribute value. type is "null", "int", "double", "date" or "text"; intValue holds an
// integer, doubleValue a double or a date (days since 1899-12-30, as OLE dates count), text the
// value as text for every type but null (dates as "YYYY-MM-DD" or "YYYY-MM-DDTHH:MM:SS").
struct TValueRecord {
    std::string table, field;
    int record = 0;
    std::string type;
    long long intValue = 0;
    double doubleValue = 0;
    std::string text;
};
struct TObjectRecord {
    long long id = 0;
    std::string layerId;
    std::vector<TShapeRecord> shapes;
    std::vector<TValueRecord> values;
};

// The objects with parts in a rectangle. Each object holds only those parts, one part per
// shape; complete is false when the limit or the deadline left some out.
struct TObjectsInBox {
    std::vector<TObjectRecord> objects;
    std::size_t parts = 0;
    bool complete = true;
};

} // namespace kavrohost
