// The project store's spatial index and running totals: the R*Tree of part blocks that the map
// view reads by extent, and what the project holds as a whole, both kept as objects are written.
#include "project_store.h"

#include <algorithm>

namespace kavrohost {

namespace {

// The spatial index covers blocks of kBlockParts consecutive part ids, not single parts: an
// import writes its objects in the order of its file, which keeps neighbours together, so a
// block's box stays small, and the hot path writes one R*Tree row per block (one per part
// made the import four times slower). A query reads the vertices of the blocks in sight,
// which are stored by part id, and keeps the parts whose own box meets the rectangle. The
// R*Tree keeps single-precision bounds rounded outwards: a block just outside may be read,
// none inside is missed.
// `totals` holds what the project holds as a whole (TStoreTotals), kept with every change.
constexpr const char* kIndexSchema = R"sql(
CREATE VIRTUAL TABLE part_blocks USING rtree(id, min_x, max_x, min_y, max_y);
CREATE TABLE totals(name TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
)sql";
// The names of the extent's rows in `totals`, in TStoreTotals::extent's order.
constexpr const char* kExtentNames[] = {"min_x", "min_y", "max_x", "max_y"};

std::int64_t& ShapesOfStyle(TStoreTotals& totals, std::int64_t styleKey) {
    const auto key = static_cast<std::size_t>(std::max<std::int64_t>(styleKey, 0));
    if (key >= totals.shapesByStyle.size())
        totals.shapesByStyle.resize(key + 1, 0);
    return totals.shapesByStyle[key];
}

} // namespace

void TProjectStore::CreateIndex(TDatabase& db) {
    db.Exec(kIndexSchema);
}

void TProjectStore::CountShape(std::int64_t styleKey) {
    ++ShapesOfStyle(m_totals, styleKey);
    m_totalsChanged = true;
}

void TProjectStore::IndexOldProject() {
    auto exists = m_db->Prepare("SELECT 1 FROM sqlite_master WHERE name = 'part_blocks'");
    if (exists.Step())
        return;
    m_db->Exec("BEGIN IMMEDIATE");
    try {
        CreateIndex(*m_db);
        m_db->Exec("INSERT INTO part_blocks(id, min_x, max_x, min_y, max_y) SELECT part_id / " +
                   std::to_string(kBlockParts) +
                   ", min(x), max(x), min(y), max(y) FROM vertices GROUP BY 1");
        m_totals = {};
        auto objects = m_db->Prepare("SELECT count(*) FROM objects");
        m_totals.objects = objects.Step() ? objects.Int(0) : 0;
        auto styles = m_db->Prepare("SELECT style, count(*) FROM shapes GROUP BY style");
        while (styles.Step())
            ShapesOfStyle(m_totals, styles.Int(0)) += styles.Int(1);
        auto parts = m_db->Prepare("SELECT p.closed, (SELECT count(*) FROM vertices v "
                                   "WHERE v.part_id = p.id) FROM parts p");
        while (parts.Step())
            CountKind(KindOf(parts.Int(1), parts.Int(0) != 0), 1);
        auto extent = m_db->Prepare("SELECT min(x), min(y), max(x), max(y) FROM vertices");
        if (extent.Step() && !extent.IsNull(0))
            m_totals.extent = {extent.Double(0), extent.Double(1), extent.Double(2),
                               extent.Double(3)};
        m_totalsChanged = true;
        WriteTotals();
        m_db->Exec("COMMIT");
    } catch (const EStoreError&) {
        if (!sqlite3_get_autocommit(m_db->Handle()))
            m_db->Exec("ROLLBACK");
        throw;
    }
}

void TProjectStore::LoadTotals() {
    m_totals = {};
    m_totalsChanged = false;
    std::array<std::optional<double>, 4> extent;
    auto q = m_db->Prepare("SELECT name, value FROM totals");
    while (q.Step()) {
        const std::string name = q.Text(0);
        if (name == "objects")
            m_totals.objects = q.Int(1);
        else if (name == "points")
            m_totals.points = q.Int(1);
        else if (name == "lines")
            m_totals.lines = q.Int(1);
        else if (name == "polygons")
            m_totals.polygons = q.Int(1);
        else if (name.starts_with("style "))
            ShapesOfStyle(m_totals, std::stoll(name.substr(6))) = q.Int(1);
        for (std::size_t i = 0; i < 4; ++i)
            if (name == kExtentNames[i])
                extent[i] = q.Double(1);
    }
    if (extent[0] && extent[1] && extent[2] && extent[3])
        m_totals.extent = {*extent[0], *extent[1], *extent[2], *extent[3]};
}

void TProjectStore::WriteTotals() {
    if (!m_totalsChanged)
        return;
    m_db->Exec("DELETE FROM totals");
    auto insert = m_db->Prepare("INSERT INTO totals(name, value) VALUES(?, ?)");
    insert.Bind(1, std::string_view("objects")).Bind(2, m_totals.objects).Run();
    insert.Bind(1, std::string_view("points")).Bind(2, m_totals.points).Run();
    insert.Bind(1, std::string_view("lines")).Bind(2, m_totals.lines).Run();
    insert.Bind(1, std::string_view("polygons")).Bind(2, m_totals.polygons).Run();
    for (std::size_t key = 0; key < m_totals.shapesByStyle.size(); ++key)
        if (m_totals.shapesByStyle[key] != 0)
            insert.Bind(1, "style " + std::to_string(key))
                .Bind(2, m_totals.shapesByStyle[key])
                .Run();
    if (const auto& e = m_totals.extent)
        for (std::size_t i = 0; i < 4; ++i)
            insert.Bind(1, std::string_view(kExtentNames[i])).Bind(2, (*e)[i]).Run();
    m_totalsChanged = false;
}

TProjectStore::TPartKind TProjectStore::KindOf(std::int64_t vertices, bool closed) {
    if (vertices == 0)
        return TPartKind::None;
    if (vertices == 1)
        return TPartKind::Point;
    return closed && vertices >= 3 ? TPartKind::Polygon : TPartKind::Line;
}

void TProjectStore::CountKind(TPartKind kind, std::int64_t delta) {
    switch (kind) {
    case TPartKind::Point:
        m_totals.points += delta;
        break;
    case TPartKind::Line:
        m_totals.lines += delta;
        break;
    case TPartKind::Polygon:
        m_totals.polygons += delta;
        break;
    case TPartKind::None:
        break;
    }
}

void TProjectStore::OpenPart(std::int64_t partId) {
    if (m_openPart && m_openPart->id == partId)
        return;
    FlushPart();
    // A part written earlier: its closed flag and vertex count as stored.
    TOpenPart part;
    part.id = partId;
    m_partClosed.Bind(1, partId);
    part.closed = m_partClosed.Step() && m_partClosed.Int(0) != 0;
    m_partClosed.Reset();
    m_partVertexCount.Bind(1, partId);
    part.vertices = m_partVertexCount.Step() ? m_partVertexCount.Int(0) : 0;
    m_partVertexCount.Reset();
    part.kindBefore = KindOf(part.vertices, part.closed);
    m_openPart = part;
}

void TProjectStore::FlushPart() {
    if (!m_openPart)
        return;
    const TOpenPart& p = *m_openPart;
    if (const TPartKind kind = KindOf(p.vertices, p.closed); kind != p.kindBefore) {
        CountKind(p.kindBefore, -1);
        CountKind(kind, 1);
        m_totalsChanged = true;
    }
    m_openPart.reset();
}

void TProjectStore::OpenBlock(std::int64_t partId) {
    const std::int64_t id = partId / kBlockParts;
    if (m_openBlock && m_openBlock->id == id)
        return;
    FlushBlock();
    TOpenBlock block;
    block.id = id;
    m_readBlock.Bind(1, id);
    if (m_readBlock.Step()) {
        block.box = {m_readBlock.Double(0), m_readBlock.Double(1), m_readBlock.Double(2),
                     m_readBlock.Double(3)};
        block.any = true;
    }
    m_readBlock.Reset();
    m_openBlock = block;
}

void TProjectStore::GrowBlock(double x, double y) {
    TOpenBlock& b = *m_openBlock;
    b.box = b.any ? std::array<double, 4>{std::min(b.box[0], x), std::min(b.box[1], y),
                                          std::max(b.box[2], x), std::max(b.box[3], y)}
                  : std::array<double, 4>{x, y, x, y};
    b.any = b.changed = true;
}

void TProjectStore::FlushBlock() {
    if (!m_openBlock)
        return;
    const TOpenBlock& b = *m_openBlock;
    if (b.changed)
        m_writeBlock.Bind(1, b.id)
            .Bind(2, b.box[0])
            .Bind(3, b.box[2])
            .Bind(4, b.box[1])
            .Bind(5, b.box[3])
            .Run();
    m_openBlock.reset();
}

void TProjectStore::FlushOpen() {
    FlushPart();
    FlushBlock();
}

const TStoreTotals& TProjectStore::Totals() {
    FlushPart();
    return m_totals;
}

} // namespace kavrohost
