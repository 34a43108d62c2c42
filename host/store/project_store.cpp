#include "project_store.h"

#include "value_text.h"

#include <algorithm>
#include <unordered_map>

namespace kavrohost {

namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE maps(ord INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, name TEXT NOT NULL);
CREATE TABLE layers(ord INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, map_id TEXT NOT NULL,
                    name TEXT NOT NULL);
CREATE TABLE styles(ord INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, layer_id TEXT NOT NULL,
                    name TEXT NOT NULL);
CREATE TABLE sem_tables(ord INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE,
                        layer_id TEXT NOT NULL, name TEXT NOT NULL, caption TEXT NOT NULL,
                        mode INTEGER NOT NULL);
CREATE TABLE fields(table_id TEXT NOT NULL, ord INTEGER NOT NULL, name TEXT NOT NULL,
                    caption TEXT NOT NULL, type INTEGER NOT NULL, PRIMARY KEY(table_id, ord))
                    WITHOUT ROWID;
CREATE TABLE objects(id INTEGER PRIMARY KEY, layer INTEGER NOT NULL);
CREATE TABLE shapes(id INTEGER PRIMARY KEY, object_id INTEGER NOT NULL, ord INTEGER NOT NULL,
                    style INTEGER NOT NULL);
CREATE TABLE parts(id INTEGER PRIMARY KEY, shape_id INTEGER NOT NULL, ord INTEGER NOT NULL,
                   closed INTEGER NOT NULL DEFAULT 0);
CREATE TABLE vertices(part_id INTEGER NOT NULL, ord INTEGER NOT NULL, x REAL NOT NULL,
                      y REAL NOT NULL, z REAL NOT NULL, PRIMARY KEY(part_id, ord)) WITHOUT ROWID;
CREATE TABLE sem_values(object_id INTEGER NOT NULL, tbl INTEGER NOT NULL, field INTEGER NOT NULL,
                        record INTEGER NOT NULL, type INTEGER NOT NULL, int_value INTEGER,
                        real_value REAL, text_value TEXT,
                        PRIMARY KEY(object_id, tbl, field, record)) WITHOUT ROWID;
CREATE TABLE streams(name TEXT PRIMARY KEY, data BLOB NOT NULL, encoding TEXT NOT NULL,
                     generated INTEGER NOT NULL);
CREATE TABLE settings(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE show_rect(id INTEGER PRIMARY KEY CHECK(id = 1), min_x REAL NOT NULL,
                       min_y REAL NOT NULL, max_x REAL NOT NULL, max_y REAL NOT NULL);
)sql";

const char* TypeName(TValueType type) {
    switch (type) {
    case TValueType::Int:
        return "int";
    case TValueType::Double:
        return "double";
    case TValueType::Date:
        return "date";
    case TValueType::Text:
        return "text";
    default:
        return "null";
    }
}

} // namespace

void TProjectStore::Create(const std::filesystem::path& file, const TProjectModel& model,
                           const std::string& coordinateSystemJson,
                           const std::map<std::string, std::string>& settings,
                           const std::vector<TStreamDef>& streams) {
    if (std::filesystem::exists(file))
        throw EStoreError("Файл проекта \"" + file.string() + "\" уже существует");
    try {
        TDatabase db(file, true);
        db.Exec("PRAGMA journal_mode=WAL");
        db.Exec("BEGIN");
        db.Exec(kSchema);
        CreateIndex(db);
        auto meta = db.Prepare("INSERT INTO meta(key, value) VALUES(?, ?)");
        meta.Bind(1, std::string_view("activeMap")).Bind(2, model.activeMap).Run();
        meta.Bind(1, std::string_view("activeLayer")).Bind(2, model.activeLayer).Run();
        meta.Bind(1, std::string_view("coordinateSystem")).Bind(2, coordinateSystemJson).Run();
        // ord numbers the items 1, 2, 3... in project order: the keys map objects refer to.
        auto map = db.Prepare("INSERT INTO maps(id, name) VALUES(?, ?)");
        for (const auto& m : model.maps)
            map.Bind(1, m.id).Bind(2, m.name).Run();
        auto layer = db.Prepare("INSERT INTO layers(id, map_id, name) VALUES(?, ?, ?)");
        for (const auto& l : model.layers)
            layer.Bind(1, l.id).Bind(2, l.mapId).Bind(3, l.name).Run();
        auto style = db.Prepare("INSERT INTO styles(id, layer_id, name) VALUES(?, ?, ?)");
        for (const auto& s : model.styles)
            style.Bind(1, s.id).Bind(2, s.layerId).Bind(3, s.name).Run();
        auto table = db.Prepare(
            "INSERT INTO sem_tables(id, layer_id, name, caption, mode) VALUES(?, ?, ?, ?, ?)");
        auto field = db.Prepare(
            "INSERT INTO fields(table_id, ord, name, caption, type) VALUES(?, ?, ?, ?, ?)");
        for (const auto& t : model.tables) {
            table.Bind(1, t.id).Bind(2, t.layerId).Bind(3, t.name).Bind(4, t.caption);
            table.Bind(5, t.mode).Run();
            for (std::size_t i = 0; i < t.fields.size(); ++i) {
                const auto& f = t.fields[i];
                field.Bind(1, t.id).Bind(2, static_cast<int>(i)).Bind(3, f.name);
                field.Bind(4, f.caption).Bind(5, f.type).Run();
            }
        }
        auto setting = db.Prepare("INSERT INTO settings(key, value) VALUES(?, ?)");
        for (const auto& [k, v] : settings)
            setting.Bind(1, k).Bind(2, v).Run();
        auto stream =
            db.Prepare("INSERT INTO streams(name, data, encoding, generated) VALUES(?, ?, ?, ?)");
        for (const auto& s : streams) {
            stream.Bind(1, s.name).BindBlob(2, s.bytes).Bind(3, s.encoding);
            stream.Bind(4, s.generated ? 1 : 0).Run();
        }
        db.Exec("COMMIT");
        db.Exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(file, ec);
        std::filesystem::remove(file.string() + "-wal", ec);
        std::filesystem::remove(file.string() + "-shm", ec);
        throw;
    }
}

TProjectStore::TProjectStore(const std::filesystem::path& file) : m_file(file) {
    if (!std::filesystem::exists(file))
        throw EStoreError("Файл проекта \"" + file.string() + "\" не найден");
    m_db = std::make_unique<TDatabase>(file, false);
    bool isProject = false;
    try {
        auto version = m_db->Prepare("PRAGMA user_version");
        isProject = version.Step() && version.Int(0) == kSchemaVersion;
    } catch (const EStoreError&) {
        // Not an SQLite file at all.
    }
    if (!isProject)
        throw EStoreError("Файл \"" + file.string() +
                          "\" не является проектом или его версия не поддерживается");
    m_db->Exec("PRAGMA journal_mode=WAL");
    // The project is a working copy: a power loss may lose the last commit but never corrupts.
    m_db->Exec("PRAGMA synchronous=NORMAL");
    // A modest page cache: an import streams its pages out to the WAL as they fill, so memory
    // stays flat however large the import (a larger cache measured no faster).
    m_db->Exec("PRAGMA cache_size=-16384");
    LoadModel();
    IndexOldProject();
    LoadTotals();
    m_begin = m_db->Prepare("BEGIN IMMEDIATE");
    m_commit = m_db->Prepare("COMMIT");
    m_rollback = m_db->Prepare("ROLLBACK");
    m_insertObject = m_db->Prepare("INSERT INTO objects(layer) VALUES(?)");
    m_insertShape = m_db->Prepare("INSERT INTO shapes(object_id, ord, style) VALUES(?, ?, ?)");
    m_insertPart = m_db->Prepare("INSERT INTO parts(shape_id, ord) VALUES(?, ?)");
    m_insertVertex =
        m_db->Prepare("INSERT INTO vertices(part_id, ord, x, y, z) VALUES(?, ?, ?, ?, ?)");
    m_setClosed = m_db->Prepare("UPDATE parts SET closed = ? WHERE id = ?");
    m_setValue = m_db->Prepare(
        "INSERT OR REPLACE INTO sem_values(object_id, tbl, field, record, type, int_value, "
        "real_value, text_value) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    m_readBlock = m_db->Prepare("SELECT min_x, min_y, max_x, max_y FROM part_blocks WHERE id = ?");
    m_writeBlock = m_db->Prepare("INSERT OR REPLACE INTO part_blocks(id, min_x, max_x, min_y, "
                                 "max_y) VALUES(?, ?, ?, ?, ?)");
    m_partClosed = m_db->Prepare("SELECT closed FROM parts WHERE id = ?");
    m_partVertexCount = m_db->Prepare("SELECT count(*) FROM vertices WHERE part_id = ?");
}

TProjectStore::~TProjectStore() {
    try {
        Rollback();
    } catch (...) {
        // Closing never throws; SQLite rolls back an open transaction on close anyway.
    }
}

void TProjectStore::LoadModel() {
    auto meta = m_db->Prepare("SELECT value FROM meta WHERE key = ?");
    meta.Bind(1, std::string_view("activeMap"));
    if (meta.Step())
        m_model.activeMap = meta.Text(0);
    meta.Reset();
    meta.Bind(1, std::string_view("activeLayer"));
    if (meta.Step())
        m_model.activeLayer = meta.Text(0);
    meta.Reset();

    auto maps = m_db->Prepare("SELECT id, name FROM maps ORDER BY ord");
    while (maps.Step())
        m_model.maps.push_back({maps.Text(0), maps.Text(1), {}});
    auto layers = m_db->Prepare("SELECT id, map_id, name FROM layers ORDER BY ord");
    while (layers.Step())
        m_model.layers.push_back({0, layers.Text(0), layers.Text(1), layers.Text(2), {}, {}});
    auto styles = m_db->Prepare("SELECT id, layer_id, name FROM styles ORDER BY ord");
    while (styles.Step())
        m_model.styles.push_back({0, styles.Text(0), styles.Text(1), styles.Text(2)});
    auto tables =
        m_db->Prepare("SELECT id, layer_id, name, caption, mode FROM sem_tables ORDER BY ord");
    while (tables.Step()) {
        TTableDef t;
        t.id = tables.Text(0);
        t.layerId = tables.Text(1);
        t.name = tables.Text(2);
        t.caption = tables.Text(3);
        t.mode = static_cast<int>(tables.Int(4));
        m_model.tables.push_back(std::move(t));
    }
    m_model.Index();
    auto fields =
        m_db->Prepare("SELECT table_id, name, caption, type FROM fields ORDER BY table_id, ord");
    while (fields.Step()) {
        auto* t = const_cast<TTableDef*>(m_model.FindTable(fields.Text(0)));
        if (t)
            t->fields.push_back({fields.Text(1), fields.Text(2), static_cast<int>(fields.Int(3))});
    }
    for (const auto& l : m_model.layers)
        if (auto* m = const_cast<TMapDef*>(m_model.FindMap(l.mapId)))
            m->layerIds.push_back(l.id);
    for (const auto& s : m_model.styles)
        if (auto* l = const_cast<TLayerDef*>(m_model.FindLayer(s.layerId)))
            l->styleIds.push_back(s.id);
    for (const auto& t : m_model.tables)
        if (auto* l = const_cast<TLayerDef*>(m_model.FindLayer(t.layerId)))
            l->tableIds.push_back(t.id);
}

std::string TProjectStore::CoordinateSystemJson() {
    auto q = m_db->Prepare("SELECT value FROM meta WHERE key = 'coordinateSystem'");
    return q.Step() ? q.Text(0) : std::string();
}

std::vector<TStreamDef> TProjectStore::Streams() {
    std::vector<TStreamDef> result;
    auto q = m_db->Prepare("SELECT name, data, encoding, generated FROM streams ORDER BY name");
    while (q.Step())
        result.push_back({q.Text(0), q.Text(1), q.Text(2), q.Int(3) != 0});
    return result;
}

std::optional<std::string> TProjectStore::ReadStream(const std::string& name) {
    auto q = m_db->Prepare("SELECT data FROM streams WHERE name = ?");
    q.Bind(1, name);
    if (!q.Step())
        return std::nullopt;
    return q.Text(0);
}

std::map<std::string, std::string> TProjectStore::Settings() {
    std::map<std::string, std::string> result;
    auto q = m_db->Prepare("SELECT key, value FROM settings");
    while (q.Step())
        result.emplace(q.Text(0), q.Text(1));
    return result;
}

std::optional<std::string> TProjectStore::GetSetting(const std::string& key) {
    auto q = m_db->Prepare("SELECT value FROM settings WHERE key = ?");
    q.Bind(1, key);
    if (!q.Step())
        return std::nullopt;
    return q.Text(0);
}

void TProjectStore::WriteSetting(const std::string& key, const std::string& value) {
    m_db->Prepare("INSERT OR REPLACE INTO settings(key, value) VALUES(?, ?)")
        .Bind(1, key)
        .Bind(2, value)
        .Run();
}

void TProjectStore::SetSetting(const std::string& key, const std::string& value) {
    try {
        WriteSetting(key, value);
    } catch (const EStoreError& e) {
        NoteFailedWrite(e);
        throw;
    }
    if (m_inTransaction)
        m_pendingSettings[key] = value;
}

void TProjectStore::WriteShowRect(const std::array<double, 4>& r) {
    m_db->Prepare("INSERT OR REPLACE INTO show_rect(id, min_x, min_y, max_x, max_y) "
                  "VALUES(1, ?, ?, ?, ?)")
        .Bind(1, r[0])
        .Bind(2, r[1])
        .Bind(3, r[2])
        .Bind(4, r[3])
        .Run();
}

void TProjectStore::SetShowRect(const std::array<double, 4>& rect) {
    try {
        WriteShowRect(rect);
    } catch (const EStoreError& e) {
        NoteFailedWrite(e);
        throw;
    }
    if (m_inTransaction)
        m_pendingRect = rect;
}

std::optional<std::array<double, 4>> TProjectStore::ShowRect() {
    auto q = m_db->Prepare("SELECT min_x, min_y, max_x, max_y FROM show_rect WHERE id = 1");
    if (!q.Step())
        return std::nullopt;
    return std::array<double, 4>{q.Double(0), q.Double(1), q.Double(2), q.Double(3)};
}

void TProjectStore::Begin() {
    if (m_inTransaction)
        return;
    m_begin.Run();
    m_inTransaction = true;
}

template <class F> auto TProjectStore::MapChange(F&& change) {
    Begin();
    try {
        return change();
    } catch (const EStoreError& e) {
        NoteFailedWrite(e);
        throw;
    }
}

void TProjectStore::NoteFailedWrite(const EStoreError& error) {
    // A failed statement usually undoes only itself, but on a full disk, an I/O error or an
    // interrupt SQLite may roll back the whole transaction and go back to committing each
    // statement on its own.
    if (!m_inTransaction || !sqlite3_get_autocommit(m_db->Handle()))
        return;
    if (!m_lostChanges)
        m_lostChanges = error.what();
    DropTransaction(true);
}

void TProjectStore::DropTransaction(bool bestEffort) {
    if (!m_inTransaction)
        return;
    if (!sqlite3_get_autocommit(m_db->Handle()))
        m_rollback.Run();
    m_inTransaction = false;
    m_openPart.reset();
    m_openBlock.reset();
    try {
        LoadTotals();
    } catch (const EStoreError&) {
        if (!bestEffort)
            throw;
    }
    auto settings = std::move(m_pendingSettings);
    auto rect = std::move(m_pendingRect);
    m_pendingSettings.clear();
    m_pendingRect.reset();
    if (settings.empty() && !rect)
        return;
    try {
        m_db->Exec("BEGIN");
        for (const auto& [k, v] : settings)
            WriteSetting(k, v);
        if (rect)
            WriteShowRect(*rect);
        m_db->Exec("COMMIT");
    } catch (const EStoreError&) {
        if (!sqlite3_get_autocommit(m_db->Handle()))
            m_db->Exec("ROLLBACK");
        if (!bestEffort)
            throw;
    }
}

void TProjectStore::Commit() {
    if (m_lostChanges) {
        // What was written after the loss is only the end of the changes this commit stands
        // for: saving it would leave the project with a gap.
        const std::string reason = std::move(*m_lostChanges);
        m_lostChanges.reset();
        DropTransaction(true);
        throw EStoreError("Изменения после последней фиксации не сохранены. " + reason);
    }
    if (m_inTransaction) {
        try {
            FlushOpen();
            WriteTotals();
            m_commit.Run();
        } catch (const EStoreError&) {
            // SQLite may keep the transaction for a retry; a later commit must not save it
            // together with other changes, so it goes now whichever way SQLite left it.
            DropTransaction(true);
            throw;
        }
        m_inTransaction = false;
        m_pendingSettings.clear();
        m_pendingRect.reset();
    }
    ++m_commitCount;
    if (m_fillAfterCommits && --*m_fillAfterCommits == 0) {
        m_fillAfterCommits.reset();
        CapPageCount();
    }
}

void TProjectStore::Rollback() {
    m_lostChanges.reset();
    DropTransaction(false);
}

void TProjectStore::FillAfterCommits(int commits) {
    m_fillAfterCommits.reset();
    if (commits <= 0)
        CapPageCount();
    else
        m_fillAfterCommits = commits;
}

void TProjectStore::FreeSpace() {
    m_fillAfterCommits.reset();
    if (m_pageLimit) {
        m_db->Exec("PRAGMA max_page_count=" + std::to_string(*m_pageLimit));
        m_pageLimit.reset();
    }
}

void TProjectStore::CapPageCount() {
    const auto pragma = [&](const char* sql) {
        auto q = m_db->Prepare(sql);
        return q.Step() ? q.Int(0) : 0;
    };
    if (!m_pageLimit)
        m_pageLimit = pragma("PRAGMA max_page_count");
    m_db->Exec("PRAGMA max_page_count=" + std::to_string(pragma("PRAGMA page_count")));
}

std::int64_t TProjectStore::AddObject(int layerKey) {
    return MapChange([&] {
        m_insertObject.Bind(1, layerKey).Run();
        ++m_totals.objects;
        m_totalsChanged = true;
        return m_db->LastInsertId();
    });
}

std::int64_t TProjectStore::AddShape(std::int64_t objectId, int position, bool insert,
                                     int styleKey) {
    return MapChange([&] {
        if (insert)
            m_db->Prepare("UPDATE shapes SET ord = ord + 1 WHERE object_id = ? AND ord >= ?")
                .Bind(1, objectId)
                .Bind(2, position)
                .Run();
        m_insertShape.Bind(1, objectId).Bind(2, position).Bind(3, styleKey).Run();
        const std::int64_t id = m_db->LastInsertId();
        CountShape(styleKey);
        return id;
    });
}

std::int64_t TProjectStore::AddPart(std::int64_t shapeId, int position, bool insert) {
    return MapChange([&] {
        if (insert)
            m_db->Prepare("UPDATE parts SET ord = ord + 1 WHERE shape_id = ? AND ord >= ?")
                .Bind(1, shapeId)
                .Bind(2, position)
                .Run();
        FlushPart();
        m_insertPart.Bind(1, shapeId).Bind(2, position).Run();
        const std::int64_t id = m_db->LastInsertId();
        m_openPart = TOpenPart{id, false, 0, TPartKind::None};
        return id;
    });
}

void TProjectStore::AddVertex(std::int64_t partId, int position, bool insert, double x, double y,
                              double z) {
    MapChange([&] {
        // Both before the insert: a failure to write the previous block's box leaves no
        // vertex behind.
        OpenPart(partId);
        OpenBlock(partId);
        if (insert) {
            // Two steps through negative positions keep (part, position) unique at every row.
            m_db->Prepare("UPDATE vertices SET ord = -(ord + 1) WHERE part_id = ? AND ord >= ?")
                .Bind(1, partId)
                .Bind(2, position)
                .Run();
            m_db->Prepare("UPDATE vertices SET ord = -ord WHERE part_id = ? AND ord < 0")
                .Bind(1, partId)
                .Run();
        }
        m_insertVertex.Bind(1, partId).Bind(2, position).Bind(3, x).Bind(4, y).Bind(5, z).Run();
        ++m_openPart->vertices;
        GrowBlock(x, y);
        auto& e = m_totals.extent;
        e = e ? std::array<double, 4>{std::min((*e)[0], x), std::min((*e)[1], y),
                                      std::max((*e)[2], x), std::max((*e)[3], y)}
              : std::array<double, 4>{x, y, x, y};
        m_totalsChanged = true;
    });
}

void TProjectStore::SetClosed(std::int64_t partId, bool closed) {
    MapChange([&] {
        OpenPart(partId);
        m_setClosed.Bind(1, closed ? 1 : 0).Bind(2, partId).Run();
        m_openPart->closed = closed;
    });
}

void TProjectStore::SetValue(std::int64_t objectId, int tableKey, int field, int record,
                             TValueType type, std::int64_t intValue, double doubleValue,
                             std::string_view text) {
    MapChange(
        [&] { WriteValue(objectId, tableKey, field, record, type, intValue, doubleValue, text); });
}

void TProjectStore::WriteValue(std::int64_t objectId, int tableKey, int field, int record,
                               TValueType type, std::int64_t intValue, double doubleValue,
                               std::string_view text) {
    m_setValue.Bind(1, objectId).Bind(2, tableKey).Bind(3, field).Bind(4, record);
    m_setValue.Bind(5, static_cast<int>(type)).BindNull(6).BindNull(7).BindNull(8);
    switch (type) {
    case TValueType::Int:
        m_setValue.Bind(6, intValue);
        break;
    case TValueType::Double:
    case TValueType::Date:
        m_setValue.Bind(7, doubleValue);
        break;
    case TValueType::Text:
        m_setValue.Bind(8, text);
        break;
    case TValueType::Null:
        break;
    }
    m_setValue.Run();
}

void TProjectStore::ForEachObject(const std::function<void(const TObjectRecord&)>& visit) {
    auto geometry = m_db->Prepare(
        "SELECT o.id, o.layer, s.id, s.style, p.id, p.closed, v.x, v.y, v.z "
        "FROM objects o LEFT JOIN shapes s ON s.object_id = o.id "
        "LEFT JOIN parts p ON p.shape_id = s.id LEFT JOIN vertices v ON v.part_id = p.id "
        "ORDER BY o.id, s.ord, s.id, p.ord, p.id, v.ord");
    auto values = m_db->Prepare(
        "SELECT object_id, tbl, field, record, type, int_value, real_value, text_value "
        "FROM sem_values ORDER BY object_id, tbl, record, field");
    bool haveValue = values.Step();
    bool haveRow = geometry.Step();
    while (haveRow) {
        TObjectRecord object;
        object.id = geometry.Int(0);
        const TLayerDef* layer = m_model.LayerByKey(static_cast<int>(geometry.Int(1)));
        object.layerId = layer ? layer->id : std::string();
        std::int64_t shapeId = -1, partId = -1;
        while (haveRow && geometry.Int(0) == object.id) {
            if (!geometry.IsNull(2)) {
                if (geometry.Int(2) != shapeId) {
                    shapeId = geometry.Int(2);
                    partId = -1;
                    const TStyleDef* style = m_model.StyleByKey(static_cast<int>(geometry.Int(3)));
                    object.shapes.push_back({style ? style->id : std::string(), {}});
                }
                if (!geometry.IsNull(4)) {
                    if (geometry.Int(4) != partId) {
                        partId = geometry.Int(4);
                        object.shapes.back().parts.push_back({geometry.Int(5) != 0, {}});
                    }
                    if (!geometry.IsNull(6))
                        object.shapes.back().parts.back().vertices.push_back(
                            {geometry.Double(6), geometry.Double(7), geometry.Double(8)});
                }
            }
            haveRow = geometry.Step();
        }
        while (haveValue && values.Int(0) < object.id)
            haveValue = values.Step();
        while (haveValue && values.Int(0) == object.id) {
            TValueRecord v = ValueAt(values, 1);
            object.values.push_back(std::move(v));
            haveValue = values.Step();
        }
        visit(object);
    }
}

TValueRecord TProjectStore::ValueAt(const TStatement& q, int column) const {
    TValueRecord v;
    const TTableDef* table = m_model.TableByKey(static_cast<int>(q.Int(column)));
    const auto field = static_cast<std::size_t>(q.Int(column + 1));
    v.table = table ? table->name : std::string();
    v.field = table && field < table->fields.size() ? table->fields[field].name : std::string();
    v.record = static_cast<int>(q.Int(column + 2));
    const auto type = static_cast<TValueType>(q.Int(column + 3));
    v.type = TypeName(type);
    switch (type) {
    case TValueType::Int:
        v.intValue = q.Int(column + 4);
        v.doubleValue = static_cast<double>(v.intValue);
        v.text = std::to_string(v.intValue);
        break;
    case TValueType::Double:
        v.doubleValue = q.Double(column + 5);
        v.text = FormatDouble(v.doubleValue);
        break;
    case TValueType::Date:
        v.doubleValue = q.Double(column + 5);
        v.text = OleDateToText(v.doubleValue);
        break;
    case TValueType::Text:
        v.text = q.Text(column + 6);
        break;
    case TValueType::Null:
        break;
    }
    return v;
}

namespace {
constexpr const char* kPartVertices = "SELECT x, y, z FROM vertices WHERE part_id = ? ORDER BY ord";
} // namespace

std::optional<TObjectRecord> TProjectStore::ReadObject(std::int64_t id) {
    auto object = m_db->Prepare("SELECT layer FROM objects WHERE id = ?");
    object.Bind(1, id);
    if (!object.Step())
        return std::nullopt;
    TObjectRecord record;
    record.id = id;
    const TLayerDef* layer = m_model.LayerByKey(static_cast<int>(object.Int(0)));
    record.layerId = layer ? layer->id : std::string();
    auto shapes =
        m_db->Prepare("SELECT id, style FROM shapes WHERE object_id = ? ORDER BY ord, id");
    std::vector<std::int64_t> shapeIds;
    shapes.Bind(1, id);
    while (shapes.Step()) {
        shapeIds.push_back(shapes.Int(0));
        const TStyleDef* style = m_model.StyleByKey(static_cast<int>(shapes.Int(1)));
        record.shapes.push_back({style ? style->id : std::string(), {}});
    }
    auto parts =
        m_db->Prepare("SELECT shape_id, id, closed FROM parts WHERE shape_id IN "
                      "(SELECT id FROM shapes WHERE object_id = ?) ORDER BY shape_id, ord, id");
    auto vertices = m_db->Prepare(kPartVertices);
    parts.Bind(1, id);
    while (parts.Step()) {
        const auto shape = std::find(shapeIds.begin(), shapeIds.end(), parts.Int(0));
        TPartRecord part{parts.Int(2) != 0, {}};
        vertices.Bind(1, parts.Int(1));
        while (vertices.Step())
            part.vertices.push_back({vertices.Double(0), vertices.Double(1), vertices.Double(2)});
        vertices.Reset();
        record.shapes[static_cast<std::size_t>(shape - shapeIds.begin())].parts.push_back(
            std::move(part));
    }
    auto values = m_db->Prepare(kObjectValuesQuery);
    values.Bind(1, id);
    while (values.Step())
        record.values.push_back(ValueAt(values, 0));
    return record;
}

TObjectsInBox TProjectStore::ObjectsIn(const std::array<double, 4>& box, std::size_t limit,
                                       std::chrono::steady_clock::time_point deadline) {
    if (m_openBlock)
        MapChange([&] { FlushBlock(); });
    TObjectsInBox result;
    std::vector<std::int64_t> blocks;
    auto inBox = m_db->Prepare("SELECT id FROM part_blocks "
                               "WHERE max_x >= ? AND min_x <= ? AND max_y >= ? AND min_y <= ?");
    inBox.Bind(1, box[0]).Bind(2, box[2]).Bind(3, box[1]).Bind(4, box[3]);
    while (inBox.Step())
        blocks.push_back(inBox.Int(0));
    std::sort(blocks.begin(), blocks.end());
    // More blocks than the limit can take: every step-th, so that what is drawn covers the
    // whole rectangle thinly rather than a corner of it fully.
    const std::size_t most = blocks.size() * kBlockParts, perRead = std::max<std::size_t>(limit, 1);
    const std::size_t step = std::max<std::size_t>(1, most / perRead);
    std::size_t visited = 0;

    auto vertices = m_db->Prepare(
        "SELECT v.part_id, p.closed, s.object_id, s.style, v.x, v.y, v.z FROM vertices v "
        "JOIN parts p ON p.id = v.part_id JOIN shapes s ON s.id = p.shape_id "
        "WHERE v.part_id >= ? AND v.part_id < ? ORDER BY v.part_id, v.ord");
    auto layer = m_db->Prepare("SELECT layer FROM objects WHERE id = ?");
    auto values = m_db->Prepare(kObjectValuesQuery);
    std::unordered_map<std::int64_t, std::size_t> index; // object id -> position in objects
    TPartRecord part;
    std::int64_t partId = -1, objectId = 0;
    int style = 0;
    std::array<double, 4> partBox{};
    const auto keep = [&] {
        if (partId < 0 || part.vertices.empty() || partBox[2] < box[0] || partBox[0] > box[2] ||
            partBox[3] < box[1] || partBox[1] > box[3])
            return;
        ++result.parts;
        auto [at, added] = index.try_emplace(objectId, result.objects.size());
        if (added) {
            TObjectRecord& o = result.objects.emplace_back();
            o.id = objectId;
            layer.Bind(1, objectId);
            if (layer.Step())
                if (const TLayerDef* l = m_model.LayerByKey(static_cast<int>(layer.Int(0))))
                    o.layerId = l->id;
            layer.Reset();
            values.Bind(1, objectId);
            while (values.Step())
                o.values.push_back(ValueAt(values, 0));
            values.Reset();
        }
        const TStyleDef* s = m_model.StyleByKey(style);
        result.objects[at->second].shapes.push_back({s ? s->id : std::string(), {std::move(part)}});
    };
    for (std::size_t i = 0; i < blocks.size(); i += step) {
        if (result.parts >= limit || std::chrono::steady_clock::now() > deadline)
            break;
        ++visited;
        vertices.Bind(1, blocks[i] * kBlockParts).Bind(2, (blocks[i] + 1) * kBlockParts);
        while (vertices.Step()) {
            const double x = vertices.Double(4), y = vertices.Double(5);
            if (vertices.Int(0) != partId) {
                keep();
                part = {vertices.Int(1) != 0, {}};
                partId = vertices.Int(0);
                objectId = vertices.Int(2);
                style = static_cast<int>(vertices.Int(3));
                partBox = {x, y, x, y};
            }
            part.vertices.push_back({x, y, vertices.Double(6)});
            partBox = {std::min(partBox[0], x), std::min(partBox[1], y), std::max(partBox[2], x),
                       std::max(partBox[3], y)};
        }
        vertices.Reset();
        keep();
        partId = -1;
    }
    result.complete = visited == blocks.size();
    return result;
}

} // namespace kavrohost
