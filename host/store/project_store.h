// One project file: its structure, the map objects with their attribute values, the named
// streams, the settings store and the last rectangle shown.
//
// Map-object changes go into a transaction that opens with the first change and ends with
// Commit; closing the store rolls back what was not committed. Settings and the show rectangle
// do not wait for a map-object commit: without an open transaction they are written at once;
// inside one they are written into it and written again on their own if it is rolled back.
//
// SQLite may end a transaction on its own when a write fails (a full disk, an I/O error, an
// interrupt). The store notices it: the next write opens a new transaction (never one commit
// per statement), and the next Commit fails once, saying that the changes since the last
// commit are lost, and drops what was written after the loss, so a commit never saves part of
// the changes it stands for. A failed COMMIT likewise leaves no transaction open.
#pragma once

#include "object_records.h"
#include "project_model.h"
#include "sqlite.h"

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace kavrohost {

// A named byte stream of the database. encoding records how the description gave the bytes
// ("text" or "base64"); generated marks the configuration document written from the
// coordinate system.
struct TStreamDef {
    std::string name;
    std::string bytes;
    std::string encoding = "text";
    bool generated = false;
};

enum class TValueType { Null = 0, Int = 1, Double = 2, Date = 3, Text = 4 };

// What the project holds as a whole, kept up to date by every change so that a view needs no
// pass over the objects: objects, parts by kind (a part of one vertex is a point, a closed
// one of three or more a polygon, any other with vertices a line), shapes by style key, and
// the extent of all vertices.
struct TStoreTotals {
    std::int64_t objects = 0, points = 0, lines = 0, polygons = 0;
    std::vector<std::int64_t> shapesByStyle;     // by style key; index 0 counts unknown keys
    std::optional<std::array<double, 4>> extent; // min x, min y, max x, max y
};

class TProjectStore {
public:
    static constexpr int kSchemaVersion = 1;

    // Writes a new project file; an existing file is an error.
    static void Create(const std::filesystem::path& file, const TProjectModel& model,
                       const std::string& coordinateSystemJson,
                       const std::map<std::string, std::string>& settings,
                       const std::vector<TStreamDef>& streams);

    // Opens an existing project file. Throws EStoreError.
    explicit TProjectStore(const std::filesystem::path& file);
    // Rolls back uncommitted map-object changes.
    ~TProjectStore();
    TProjectStore(const TProjectStore&) = delete;
    TProjectStore& operator=(const TProjectStore&) = delete;

    const std::filesystem::path& File() const { return m_file; }
    const TProjectModel& Model() const { return m_model; }
    std::string CoordinateSystemJson();
    std::vector<TStreamDef> Streams();
    std::optional<std::string> ReadStream(const std::string& name);

    std::map<std::string, std::string> Settings();
    std::optional<std::string> GetSetting(const std::string& key);
    void SetSetting(const std::string& key, const std::string& value);
    void SetShowRect(const std::array<double, 4>& rect);
    std::optional<std::array<double, 4>> ShowRect();

    // Map-object changes. Positions are 0-based; InsertX shifts the items at and after it.
    // Layers, styles, tables and fields are given by their keys (TProjectModel).
    std::int64_t AddObject(int layerKey);
    std::int64_t AddShape(std::int64_t objectId, int position, bool insert, int styleKey);
    std::int64_t AddPart(std::int64_t shapeId, int position, bool insert);
    void AddVertex(std::int64_t partId, int position, bool insert, double x, double y, double z);
    void SetClosed(std::int64_t partId, bool closed);
    void SetValue(std::int64_t objectId, int tableKey, int field, int record, TValueType type,
                  std::int64_t intValue, double doubleValue, std::string_view text);
    // Throws EStoreError when the changes since the last commit could not all be saved; they
    // are then all dropped and the next change opens a new transaction.
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }
    // Successful commits.
    int CommitCount() const { return m_commitCount; }

    // A full database for error-path tests: after `commits` more successful commits (0: at
    // once) the file's page count is capped at its size, so SQLite itself reports "database or
    // disk is full" once a write needs another page. FreeSpace lifts the cap.
    void FillAfterCommits(int commits);
    void FreeSpace();

    // Every committed (or, inside this connection, written) object in id order.
    void ForEachObject(const std::function<void(const TObjectRecord&)>& visit);
    // One object with all its shapes and values; nullopt when there is none. Reads the shape
    // and part tables through (they have no index by owner): for one object at a time.
    std::optional<TObjectRecord> ReadObject(std::int64_t id);
    // The parts whose bounding box meets the rectangle (min x, min y, max x, max y), through
    // the spatial index. The index reads blocks of parts: once `limit` parts or the deadline
    // are reached, no further block is read. When the blocks in the rectangle hold more parts
    // than the limit, every nth is read, so that what is taken covers the whole rectangle.
    TObjectsInBox ObjectsIn(const std::array<double, 4>& box, std::size_t limit,
                            std::chrono::steady_clock::time_point deadline);
    // As seen by this connection, the open transaction included.
    const TStoreTotals& Totals();

private:
    // Parts per row of the spatial index (project_index.cpp says why blocks).
    static constexpr std::int64_t kBlockParts = 256;
    // An object's attribute values in the order they are read back.
    static constexpr const char* kObjectValuesQuery =
        "SELECT tbl, field, record, type, int_value, real_value, text_value FROM sem_values "
        "WHERE object_id = ? ORDER BY tbl, record, field";

    // The index's and totals' tables in a new or an old project file.
    static void CreateIndex(TDatabase& db);
    // A shape of the style was added: the totals count it.
    void CountShape(std::int64_t styleKey);
    void Begin();
    // Runs a change inside the map-object transaction (opened when none is); when it fails,
    // notes whether SQLite ended the transaction with it.
    template <class F> auto MapChange(F&& change);
    void NoteFailedWrite(const EStoreError& error);
    // Ends the open transaction without saving it (whether or not SQLite already ended it) and
    // writes again the settings and show rectangle it held. With bestEffort a failure of that
    // is ignored: another error is already being reported.
    void DropTransaction(bool bestEffort);
    void CapPageCount();
    void WriteValue(std::int64_t objectId, int tableKey, int field, int record, TValueType type,
                    std::int64_t intValue, double doubleValue, std::string_view text);
    void LoadModel();
    // Files written before the spatial index and the totals get them once, on open.
    void IndexOldProject();
    void LoadTotals();
    void WriteTotals();
    // The part vertices are added to: its kind is counted again when writing moves to another
    // part, and before a commit or a look at the totals.
    void OpenPart(std::int64_t partId);
    void FlushPart();
    // The block of a part: its box is written to the spatial index when writing moves to
    // another block, and before a commit or a query.
    void OpenBlock(std::int64_t partId);
    void GrowBlock(double x, double y);
    void FlushBlock();
    void FlushOpen();
    // An attribute value from the columns table, field, record, type, int, real, text of a
    // query, starting at `column`.
    TValueRecord ValueAt(const TStatement& q, int column) const;
    void WriteSetting(const std::string& key, const std::string& value);
    void WriteShowRect(const std::array<double, 4>& rect);

    std::filesystem::path m_file;
    std::unique_ptr<TDatabase> m_db;
    TProjectModel m_model;
    bool m_inTransaction = false;
    int m_commitCount = 0;
    // Why SQLite ended the transaction on its own since the last commit; Commit reports it.
    std::optional<std::string> m_lostChanges;
    std::optional<int> m_fillAfterCommits;
    // The page limit before the database was made full.
    std::optional<std::int64_t> m_pageLimit;
    // Non-map writes made inside the open transaction, replayed if it is rolled back.
    std::map<std::string, std::string> m_pendingSettings;
    std::optional<std::array<double, 4>> m_pendingRect;

    enum class TPartKind { None, Point, Line, Polygon };
    static TPartKind KindOf(std::int64_t vertices, bool closed);
    void CountKind(TPartKind kind, std::int64_t delta);
    // The part vertices are being added to, for the part counts by kind.
    struct TOpenPart {
        std::int64_t id = 0;
        bool closed = false;
        std::int64_t vertices = 0;
        TPartKind kindBefore = TPartKind::None;
    };
    // The block of parts whose box grows with the vertices written.
    struct TOpenBlock {
        std::int64_t id = 0;
        std::array<double, 4> box{};
        bool any = false, changed = false;
    };
    TStoreTotals m_totals;
    bool m_totalsChanged = false;
    std::optional<TOpenPart> m_openPart;
    std::optional<TOpenBlock> m_openBlock;

    TStatement m_begin, m_commit, m_rollback;
    TStatement m_readBlock, m_writeBlock, m_partClosed, m_partVertexCount;
    TStatement m_insertObject, m_insertShape, m_insertPart, m_insertVertex, m_setClosed, m_setValue;
};

} // namespace kavrohost
