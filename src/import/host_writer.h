// Writing imported points to the host: map objects with their shapes, contour parts and
// vertices, attribute values numbered by the importer's record rule, commits in batches, and the
// view moved to what was imported.
#pragma once

#include "host_api/automation_api.h"
#include "import/import_extent.h"
#include "import/import_report.h"
#include "platform/com/bstr.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "platform/exception.h"

#include <exception>
#include <string_view>
#include <utility>

// A host identifier (layer, style, table) as the host takes it: at most 15 characters, longer
// ones cut.
[[nodiscard]] TBstr HostIdBstr(std::string_view ansiId);
[[nodiscard]] TBstr HostIdBstr(std::u16string_view wideId);
// A BSTR made once from Windows-1251 text.
[[nodiscard]] TBstr AnsiBstr(std::string_view text);

// How an importer numbers the records of an object's attribute values. A table of mode 0 keeps
// one record per object (index 0); other modes keep several, and the host hands out new record
// indexes.
enum class TRecordRule {
    // Record 0 whatever the mode (text import).
    ObjectRecord,
    // A table whose mode is not 0 gets one new record per object, shared by its values (PTS).
    NewRecordPerObject,
    // A table of mode exactly 1 gets a new record for every value (SDR).
    NewRecordPerValue,
};

// An attribute table of the host as a writer uses it: its name, and the record rule as it
// applies to the table's mode.
class THostTable {
public:
    // Asks the database for the table and reads its name, and its mode when the rule depends on
    // it. Host errors propagate.
    THostTable(IKavroDb* database, const TBstr& tableId, TRecordRule rule);

    const TBstr& Name() const { return m_name; }
    // ObjectRecord when the table's mode asks for no new records.
    TRecordRule Records() const { return m_records; }

private:
    TComPtr<IKavroSemTable> m_table;
    TBstr m_name;
    TRecordRule m_records = TRecordRule::ObjectRecord;
};

// The attribute values of one object in one table.
class TObjectValues {
public:
    // Fetches the object's attribute data; a table with a new record per object gets it now.
    TObjectValues(IKavroMapObject* object, const THostTable& table);
    // Writes the value of the field under the record the table's rule gives; a refusal of the
    // host raises.
    void Set(const TBstr& field, const TVariant& value);
    // The same, but a value the host refuses (IsValueRefusal) is counted in the report under the
    // row or line number, with the host's message, and the import goes on: the object stays
    // without it. Any other failure (the database's) raises.
    void SetOrCount(const TBstr& field, const TVariant& value, TImportReport& report,
                    std::int64_t number);

private:
    const THostTable& m_table;
    TComPtr<IKavroSemData> m_data;
    std::int32_t m_record = 0;
};

// Creates the map objects of one import and commits them: every `commitEvery` objects and when
// told. An object counts as pending from the moment the host has created it, so that whatever a
// later failure leaves of it is still committed.
class THostWriter {
public:
    // commitEvery 0: commits only when told.
    THostWriter(TComPtr<IKavroDb> database, std::int32_t commitEvery);
    THostWriter(const THostWriter&) = delete;
    THostWriter& operator=(const THostWriter&) = delete;

    IKavroDb* Database() const { return m_database.Get(); }

    // A new object of the layer.
    TComPtr<IKavroMapObject> AddObject(const TBstr& layerId);
    // Appends a shape with the style to the object and a contour part to the shape's contour.
    TComPtr<IKavroContourPart> AddShapePart(IKavroMapObject* object, const TBstr& styleId);
    void AddVertex(IKavroContourPart* part, TPlanePoint point);
    void MarkClosed(IKavroContourPart* part);
    // A new object of the layer whose one shape of the style is the point.
    TComPtr<IKavroMapObject> AddPointObject(const TBstr& layerId, const TBstr& styleId,
                                            TPlanePoint point);
    // An object and its values are complete: commits once `commitEvery` objects are pending.
    void ObjectDone();

    // Commits the map-object changes, also with nothing pending. Objects that follow are added
    // through a fresh map-objects interface. A failure propagates; the objects it should have
    // saved are no longer pending, so that the commit after the error does not try them again.
    void Commit();
    // Commits when objects are pending.
    void CommitPending();
    // After `error` stopped the import: commits what is pending, then raises the error, or one
    // error that carries the commit's failure too (see CommitAfterError below).
    [[noreturn]] void CommitAfterError(std::exception_ptr error);

    std::int32_t Pending() const { return m_pending; }
    // The objects of this writer that commits have saved.
    std::int64_t Committed() const { return m_committed; }

private:
    IKavroMapObjects* MapObjects();

    TComPtr<IKavroDb> m_database;
    TComPtr<IKavroMapObjects> m_mapObjects;
    std::int32_t m_commitEvery;
    std::int32_t m_pending = 0;
    std::int64_t m_committed = 0;
};

// The error that stopped a run, with what the run kept: "<message>\r\nСохранено объектов: N."
class EImportStopped : public EUserError {
public:
    EImportStopped(AnsiString message, std::int64_t committed)
        : EUserError(std::move(message)), m_committed(committed) {}
    std::int64_t Committed() const noexcept { return m_committed; }

private:
    std::int64_t m_committed;
};

// Raises `error` as EImportStopped with the count of committed objects (an EImportStopped
// passes unchanged).
[[noreturn]] void RaiseImportStopped(std::exception_ptr error, std::int64_t committed);

// Raises `error` with the failure of the commit that followed it: "<error>\r\nНе удалось
// сохранить объекты, созданные до ошибки: <failure>".
[[noreturn]] void RaiseWithCommitFailure(std::exception_ptr error, std::exception_ptr failure);

// Ends work that `error` stopped: `commit` saves what was created before the error, then the
// error propagates. When the commit fails too, the user learns it: the error raised carries
// both messages.
template <class Commit>
[[noreturn]] void CommitAfterError(std::exception_ptr error, Commit&& commit) {
    try {
        std::forward<Commit>(commit)();
    } catch (...) {
        RaiseWithCommitFailure(error, std::current_exception());
    }
    std::rethrow_exception(error);
}

// Runs `work` on the writer and commits what it wrote, also when it fails (CommitAfterError).
template <class Work> void WriteAndCommit(THostWriter& writer, Work&& work) {
    try {
        std::forward<Work>(work)();
    } catch (...) {
        writer.CommitAfterError(std::current_exception());
    }
    writer.Commit();
}

// Moves the host's view to the extent of the imported points when it has some width or height;
// a run without points, or whose points all coincide, leaves the view alone.
void ShowImportExtent(IKavroApplication* application, const TImportExtent& extent);
