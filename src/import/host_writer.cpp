// Writing imported points to the host.
#include "import/host_writer.h"

#include "host_api/host_errors.h"

namespace {

constexpr std::size_t kHostIdLength = 15;

AnsiString MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return ExceptionMessage(e);
    } catch (...) {
        return Ansi("Неизвестная ошибка");
    }
}

} // namespace

TBstr HostIdBstr(std::string_view ansiId) {
    return AnsiBstr(ansiId.substr(0, kHostIdLength));
}

TBstr HostIdBstr(std::u16string_view wideId) {
    return TBstr(wideId.substr(0, kHostIdLength));
}

TBstr AnsiBstr(std::string_view text) {
    return TBstr(AnsiToWide(text));
}

THostTable::THostTable(IKavroDb* database, const TBstr& tableId, TRecordRule rule) {
    m_table = FetchHostObject<IKavroSemTable>(
        [&](IKavroSemTable** p) { return database->GetSemTable(tableId.Get(), p); });
    OleCheck(m_table->get_Name(m_name.Put()));
    if (rule == TRecordRule::ObjectRecord)
        return;
    std::int32_t mode = 0;
    OleCheck(m_table->get_Mode(&mode));
    const bool newRecords = rule == TRecordRule::NewRecordPerObject ? mode != 0 : mode == 1;
    if (newRecords)
        m_records = rule;
}

TObjectValues::TObjectValues(IKavroMapObject* object, const THostTable& table) : m_table(table) {
    m_data =
        FetchHostObject<IKavroSemData>([&](IKavroSemData** p) { return object->get_SemData(p); });
    if (table.Records() == TRecordRule::NewRecordPerObject)
        OleCheck(m_data->NewRecordIndex(table.Name().Get(), &m_record));
}

void TObjectValues::Set(const TBstr& field, const TVariant& value) {
    if (m_table.Records() == TRecordRule::NewRecordPerValue)
        OleCheck(m_data->NewRecordIndex(m_table.Name().Get(), &m_record));
    OleCheck(m_data->SetValue(m_table.Name().Get(), field.Get(), value.Raw(), m_record));
}

void TObjectValues::SetOrCount(const TBstr& field, const TVariant& value, TImportReport& report,
                               std::int64_t number) {
    try {
        Set(field, value);
    } catch (const std::exception& e) {
        if (!IsValueRefusal(e))
            throw;
        report.Add(TSkipReason::HostRefusedValue, number, ExceptionMessage(e));
    }
}

THostWriter::THostWriter(TComPtr<IKavroDb> database, std::int32_t commitEvery)
    : m_database(std::move(database)), m_commitEvery(commitEvery) {}

IKavroMapObjects* THostWriter::MapObjects() {
    if (!m_mapObjects)
        m_mapObjects = FetchHostObject<IKavroMapObjects>(
            [&](IKavroMapObjects** p) { return m_database->get_MapObjects(p); });
    return m_mapObjects.Get();
}

TComPtr<IKavroMapObject> THostWriter::AddObject(const TBstr& layerId) {
    IKavroMapObjects* objects = MapObjects();
    auto object = FetchHostObject<IKavroMapObject>(
        [&](IKavroMapObject** p) { return objects->Add(layerId.Get(), p); });
    ++m_pending;
    return object;
}

TComPtr<IKavroContourPart> THostWriter::AddShapePart(IKavroMapObject* object,
                                                     const TBstr& styleId) {
    auto shapes =
        FetchHostObject<IKavroShapes>([&](IKavroShapes** p) { return object->get_Shapes(p); });
    auto shape = FetchHostObject<IKavroShape>(
        [&](IKavroShape** p) { return shapes->Add(-1, styleId.Get(), p); });
    auto contour =
        FetchHostObject<IKavroContour>([&](IKavroContour** p) { return shape->get_Contour(p); });
    return FetchHostObject<IKavroContourPart>(
        [&](IKavroContourPart** p) { return contour->Add(-1, p); });
}

void THostWriter::AddVertex(IKavroContourPart* part, TPlanePoint point) {
    OleCheck(part->AddVertex(-1, point.X, point.Y, 0));
}

void THostWriter::MarkClosed(IKavroContourPart* part) {
    OleCheck(part->put_Closed(VARIANT_TRUE));
}

TComPtr<IKavroMapObject> THostWriter::AddPointObject(const TBstr& layerId, const TBstr& styleId,
                                                     TPlanePoint point) {
    TComPtr<IKavroMapObject> object = AddObject(layerId);
    TComPtr<IKavroContourPart> part = AddShapePart(object.Get(), styleId);
    AddVertex(part.Get(), point);
    return object;
}

void THostWriter::ObjectDone() {
    if (m_commitEvery > 0 && m_pending >= m_commitEvery)
        Commit();
}

void THostWriter::Commit() {
    const std::int32_t pending = m_pending;
    // Whatever the outcome, nothing stays pending: a commit that failed is not tried again
    // after the error (it would report the same failure twice, and save piecemeal what the
    // database may already have dropped); the run ends and says what the commits before saved.
    m_pending = 0;
    OleCheck(MapObjects()->Commit());
    m_committed += pending;
    // The host may hand out a new collection after a commit; what follows goes through it.
    m_mapObjects.Reset();
}

void THostWriter::CommitPending() {
    if (m_pending > 0)
        Commit();
}

void THostWriter::CommitAfterError(std::exception_ptr error) {
    ::CommitAfterError(error, [this] { CommitPending(); });
}

void RaiseWithCommitFailure(std::exception_ptr error, std::exception_ptr failure) {
    throw EUserError(MessageOf(error) + "\r\n" +
                     Ansi("Не удалось сохранить объекты, созданные до ошибки: ") +
                     MessageOf(failure));
}

void RaiseImportStopped(std::exception_ptr error, std::int64_t committed) {
    try {
        std::rethrow_exception(error);
    } catch (const EImportStopped&) {
        throw;
    } catch (...) {
        throw EImportStopped(MessageOf(error) + "\r\n" + Ansi("Сохранено объектов: ") +
                                 std::to_string(committed) + ".",
                             committed);
    }
}

void ShowImportExtent(IKavroApplication* application, const TImportExtent& extent) {
    if (extent.HasArea())
        OleCheck(application->ShowRect(extent.MinX, extent.MinY, extent.MaxX, extent.MaxY,
                                       kShowRectMoveView));
}
