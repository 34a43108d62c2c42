#include "host/core/host_session.h"
#include "platform/com/errorinfo.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

using namespace kavrohost;

namespace {

TBstr W(const char* utf8) {
    return TBstr(Utf8ToWide(utf8));
}

// The message the last failing automation call left in this thread's error information.
std::string LastErrorText() {
    TComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK)
        return {};
    TBstr text;
    info->GetDescription(text.Put());
    return WideToUtf8(text.View());
}

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override { CreateProject(m_file, SmallProjectDescription()); }

    // Adds an object with one point shape in layer L1 and returns it.
    TComPtr<IKavroMapObject> AddPoint(IKavroMapObjects* objects, double x, double y) {
        TComPtr<IKavroMapObject> object;
        EXPECT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK);
        TComPtr<IKavroShapes> shapes;
        EXPECT_EQ(object->get_Shapes(shapes.Put()), S_OK);
        TComPtr<IKavroShape> shape;
        EXPECT_EQ(shapes->Add(-1, W("S1").Get(), shape.Put()), S_OK);
        TComPtr<IKavroContour> contour;
        EXPECT_EQ(shape->get_Contour(contour.Put()), S_OK);
        TComPtr<IKavroContourPart> part;
        EXPECT_EQ(contour->Add(-1, part.Put()), S_OK);
        EXPECT_EQ(part->AddVertex(-1, x, y, 0), S_OK);
        return object;
    }

    TComPtr<IKavroMapObjects> MapObjects(THostSession& session) {
        TComPtr<IKavroMapObjects> objects;
        EXPECT_EQ(session.Database()->get_MapObjects(objects.Put()), S_OK);
        return objects;
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "p.kavro";
};

} // namespace

TEST_F(HostSessionTest, KeepsCommittedObjectsAndLosesUncommittedOnes) {
    {
        THostSession session(m_file);
        auto objects = MapObjects(session);
        AddPoint(objects.Get(), 1, 2);
        EXPECT_EQ(objects->Commit(), S_OK);
        AddPoint(objects.Get(), 3, 4);
        EXPECT_EQ(session.CommitCount(), 1);
        EXPECT_EQ(session.Objects().size(), 2u);   // the open connection sees its own changes
        EXPECT_EQ(ReadObjects(m_file).size(), 1u); // others see what was committed
        EXPECT_EQ(ExportDescription(m_file), SmallProjectDescription());
    }
    auto stored = ReadObjects(m_file);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].layerId, "L1");
    ASSERT_EQ(stored[0].shapes.size(), 1u);
    EXPECT_EQ(stored[0].shapes[0].styleId, "S1");
    ASSERT_EQ(stored[0].shapes[0].parts.size(), 1u);
    EXPECT_FALSE(stored[0].shapes[0].parts[0].closed);
    ASSERT_EQ(stored[0].shapes[0].parts[0].vertices.size(), 1u);
    EXPECT_EQ(stored[0].shapes[0].parts[0].vertices[0].x, 1);
    EXPECT_EQ(stored[0].shapes[0].parts[0].vertices[0].y, 2);
}

TEST_F(HostSessionTest, BuildsPartsWithInsertedVerticesAndShapes) {
    {
        THostSession session(m_file);
        auto objects = MapObjects(session);
        TComPtr<IKavroMapObject> object;
        ASSERT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK);
        TComPtr<IKavroShapes> shapes;
        ASSERT_EQ(object->get_Shapes(shapes.Put()), S_OK);
        TComPtr<IKavroShape> first, second;
        ASSERT_EQ(shapes->Add(-1, W("S1").Get(), first.Put()), S_OK);
        ASSERT_EQ(shapes->Add(0, W("S2").Get(), second.Put()), S_OK); // before the first
        std::int32_t count = 0;
        EXPECT_EQ(shapes->get_Count(&count), S_OK);
        EXPECT_EQ(count, 2);
        TComPtr<IKavroContour> contour;
        ASSERT_EQ(first->get_Contour(contour.Put()), S_OK);
        TComPtr<IKavroContourPart> part;
        ASSERT_EQ(contour->Add(-1, part.Put()), S_OK);
        EXPECT_EQ(part->AddVertex(-1, 1, 1, 0), S_OK);
        EXPECT_EQ(part->AddVertex(-1, 3, 3, 0), S_OK);
        EXPECT_EQ(part->AddVertex(1, 2, 2, 5), S_OK); // between
        EXPECT_EQ(part->AddVertex(0, 0, 0, 0), S_OK); // at the start
        EXPECT_LT(part->AddVertex(7, 0, 0, 0), 0);    // beyond the end
        EXPECT_EQ(part->put_Closed(VARIANT_TRUE), S_OK);
        EXPECT_EQ(objects->Commit(), S_OK);
    }
    auto stored = ReadObjects(m_file);
    ASSERT_EQ(stored.size(), 1u);
    ASSERT_EQ(stored[0].shapes.size(), 2u);
    EXPECT_EQ(stored[0].shapes[0].styleId, "S2");
    EXPECT_TRUE(stored[0].shapes[0].parts.empty());
    EXPECT_EQ(stored[0].shapes[1].styleId, "S1");
    const auto& part = stored[0].shapes[1].parts.at(0);
    EXPECT_TRUE(part.closed);
    std::vector<double> xs;
    for (const auto& v : part.vertices)
        xs.push_back(v.x);
    EXPECT_EQ(xs, (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(part.vertices[2].z, 5);
}

TEST_F(HostSessionTest, ConvertsValuesToTheirFieldTypes) {
    struct TCase {
        const char* field;
        TVariant value;
        const char* type;
        const char* text;
    };
    std::vector<TCase> cases = {
        {"NAME", TVariant::Text(u"Пункт 1"), "text", "Пункт 1"},
        {"NAME", TVariant::Int(12), "text", "12"},
        {"NUM", TVariant::Text(u" 42 "), "int", "42"},
        {"NUM", TVariant::Double(7.0), "int", "7"},
        {"NUM", TVariant::Text(u""), "null", ""},
        {"H", TVariant::Text(u"12,5"), "double", "12.5"},
        {"H", TVariant::Int(3), "double", "3"},
        {"DATE", TVariant::Date(45000.5), "date", "2023-03-15T12:00:00"},
        {"DATE", TVariant::Text(u"15.03.2023"), "date", "2023-03-15"},
        {"NAME", TVariant::Null(), "null", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.type + " " + c.text);
        std::filesystem::remove(m_file);
        CreateProject(m_file, SmallProjectDescription());
        {
            THostSession session(m_file);
            auto objects = MapObjects(session);
            auto object = AddPoint(objects.Get(), 0, 0);
            TComPtr<IKavroSemData> data;
            ASSERT_EQ(object->get_SemData(data.Put()), S_OK);
            ASSERT_EQ(data->SetValue(W("POINTS").Get(), W(c.field).Get(), c.value.Raw(), 0), S_OK)
                << LastErrorText();
            objects->Commit();
        }
        auto stored = ReadObjects(m_file);
        ASSERT_EQ(stored.at(0).values.size(), 1u);
        const auto& v = stored[0].values[0];
        EXPECT_EQ(v.table, "POINTS");
        EXPECT_EQ(v.field, c.field);
        EXPECT_EQ(v.type, c.type);
        EXPECT_EQ(v.text, c.text);
    }
}

TEST_F(HostSessionTest, RefusesValuesItCannotConvertAndOverwritesRepeatedWrites) {
    {
        THostSession session(m_file);
        auto objects = MapObjects(session);
        auto object = AddPoint(objects.Get(), 0, 0);
        TComPtr<IKavroSemData> data;
        ASSERT_EQ(object->get_SemData(data.Put()), S_OK);
        EXPECT_LT(
            data->SetValue(W("POINTS").Get(), W("NUM").Get(), TVariant::Text(u"12A").Raw(), 0), 0);
        EXPECT_NE(LastErrorText().find("12A"), std::string::npos);
        EXPECT_EQ(data->SetValue(W("POINTS").Get(), W("NUM").Get(), TVariant::Int(1).Raw(), 0),
                  S_OK);
        EXPECT_EQ(data->SetValue(W("POINTS").Get(), W("NUM").Get(), TVariant::Int(2).Raw(), 0),
                  S_OK);
        objects->Commit();
    }
    auto stored = ReadObjects(m_file);
    ASSERT_EQ(stored.at(0).values.size(), 1u);
    EXPECT_EQ(stored[0].values[0].intValue, 2);
}

TEST_F(HostSessionTest, GivesNewRecordIndexesPerObjectAndTable) {
    THostSession session(m_file);
    auto objects = MapObjects(session);
    auto first = AddPoint(objects.Get(), 0, 0);
    auto second = AddPoint(objects.Get(), 1, 1);
    TComPtr<IKavroSemData> a, a2, b;
    ASSERT_EQ(first->get_SemData(a.Put()), S_OK);
    ASSERT_EQ(first->get_SemData(a2.Put()), S_OK); // a second view of the same object
    ASSERT_EQ(second->get_SemData(b.Put()), S_OK);
    std::int32_t index = -1;
    EXPECT_EQ(a->NewRecordIndex(W("HISTORY").Get(), &index), S_OK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(a2->NewRecordIndex(W("HISTORY").Get(), &index), S_OK);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(b->NewRecordIndex(W("HISTORY").Get(), &index), S_OK);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(a->NewRecordIndex(W("POINTS").Get(), &index), S_OK); // mode 0: the one record
    EXPECT_EQ(index, 0);
    EXPECT_EQ(a->SetValue(W("HISTORY").Get(), W("NOTE").Get(), TVariant::Text(u"x").Raw(), 2),
              S_OK);
    EXPECT_LT(a->SetValue(W("HISTORY").Get(), W("NOTE").Get(), TVariant::Text(u"x").Raw(), 3), 0);
    EXPECT_NE(LastErrorText().find("Запись 3"), std::string::npos);
    EXPECT_LT(a->SetValue(W("POINTS").Get(), W("NAME").Get(), TVariant::Text(u"x").Raw(), 1), 0);
}

TEST_F(HostSessionTest, UnknownIdsFailWithMessages) {
    THostSession session(m_file);
    auto objects = MapObjects(session);
    TComPtr<IKavroMapObject> object;
    EXPECT_LT(objects->Add(W("NOPE").Get(), object.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Слой \"NOPE\" не найден");
    EXPECT_FALSE(object);

    auto point = AddPoint(objects.Get(), 0, 0);
    TComPtr<IKavroShapes> shapes;
    ASSERT_EQ(point->get_Shapes(shapes.Put()), S_OK);
    TComPtr<IKavroShape> shape;
    EXPECT_LT(shapes->Add(-1, W("S9").Get(), shape.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Стиль \"S9\" не найден");
    EXPECT_LT(shapes->Add(-1, W("S3").Get(), shape.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Стиль \"S3\" не принадлежит слою \"L1\"");

    TComPtr<IKavroSemData> data;
    ASSERT_EQ(point->get_SemData(data.Put()), S_OK);
    EXPECT_LT(data->SetValue(W("NOPE").Get(), W("NAME").Get(), TVariant::Int(1).Raw(), 0), 0);
    EXPECT_EQ(LastErrorText(), "Таблица \"NOPE\" не найдена в слое \"L1\"");
    EXPECT_LT(data->SetValue(W("POINTS").Get(), W("X").Get(), TVariant::Int(1).Raw(), 0), 0);
    EXPECT_EQ(LastErrorText(), "Поле \"X\" не найдено в таблице \"POINTS\"");

    TComPtr<IKavroSemTable> table;
    EXPECT_LT(session.Database()->GetSemTable(W("T9").Get(), table.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Таблица \"T9\" не найдена");
    TComPtr<IKavroLayer> layer;
    EXPECT_LT(session.Database()->GetLayer(W("L9").Get(), layer.Put()), 0);
    VARIANT_BOOL exists = VARIANT_TRUE;
    EXPECT_EQ(session.Database()->LayerExists(W("L9").Get(), &exists), S_OK);
    EXPECT_EQ(exists, VARIANT_FALSE);

    TComPtr<IKavroProjectView> view;
    ASSERT_EQ(session.Application()->get_ProjectView(view.Put()), S_OK);
    std::int32_t count = 5;
    EXPECT_EQ(view->GetLayerCount(W("M9").Get(), &count), S_FALSE);
    EXPECT_EQ(count, 0);
    TBstr id, name;
    EXPECT_LT(view->GetLayer(W("M9").Get(), 0, id.Put(), name.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Карта \"M9\" не найдена");

    // The add-on API leaves its failures in the error sink.
    auto db = TComPtr<IUnknown>(session.Manager()).As<IQmGISDatabase>();
    auto sink = TComPtr<IUnknown>(session.Manager()).As<IQmErrorInfo>();
    ASSERT_TRUE(db && sink);
    TQmLayerInfo info{};
    auto missing = TQmID::From(Ansi("Слой9"));
    EXPECT_LT(db->GetLayerInfo(&missing, &info), 0);
    TQmText source{}, message{};
    EXPECT_EQ(sink->GetLastError(&source, &message), S_OK);
    EXPECT_EQ(AnsiToUtf8(message.View()), "Слой \"Слой9\" не найден");
    EXPECT_EQ(AnsiToUtf8(source.View()), "IQmGISDatabase.GetLayerInfo");
}

TEST_F(HostSessionTest, InjectedFailuresSurfaceAsErrors) {
    THostSession session(m_file);
    session.FailOn("IKavroMapObjects.Add", 2, "Диск переполнен");
    session.FailOn("IQmGISDatabase.GetMapInfo", 1, "Нет доступа");
    auto objects = MapObjects(session);
    TComPtr<IKavroMapObject> object;
    EXPECT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK);
    EXPECT_LT(objects->Add(W("L1").Get(), object.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Диск переполнен");
    EXPECT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK); // only the nth call fails

    auto db = TComPtr<IUnknown>(session.Manager()).As<IQmGISDatabase>();
    auto sink = TComPtr<IUnknown>(session.Manager()).As<IQmErrorInfo>();
    auto id = TQmID::From("M1");
    TQmMapInfo info{};
    EXPECT_LT(db->GetMapInfo(&id, &info), 0);
    TQmText source{}, message{};
    ASSERT_EQ(sink->GetLastError(&source, &message), S_OK);
    EXPECT_EQ(AnsiToUtf8(message.View()), "Нет доступа");
    EXPECT_EQ(db->GetMapInfo(&id, &info), S_OK);
    EXPECT_EQ(AnsiToUtf8(info.name.View()), "Карта 1");
}

TEST_F(HostSessionTest, AnyCallFailsByNumberAndTheCallLogShowsIt) {
    THostSession session(m_file);
    auto objects = MapObjects(session);
    session.StartCallLog();
    session.FailOnAnyCall(3, "Сбой вызова 3");
    session.FailOn("IKavroMapObjects.Add", 3, "Отказ по имени");
    TComPtr<IKavroMapObject> object;
    EXPECT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK);
    EXPECT_LT(objects->Add(W("Слой9").Get(), object.Put()), 0); // a host error
    // The third call, and the third Add: it fails once, with the message armed by number.
    EXPECT_LT(objects->Add(W("L1").Get(), object.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Сбой вызова 3");
    EXPECT_EQ(objects->Add(W("L1").Get(), object.Put()), S_OK);
    EXPECT_EQ(objects->Commit(), S_OK);

    const std::vector<std::pair<std::string, bool>> expected = {{"IKavroMapObjects.Add", false},
                                                                {"IKavroMapObjects.Add", true},
                                                                {"IKavroMapObjects.Add", true},
                                                                {"IKavroMapObjects.Add", false},
                                                                {"IKavroMapObjects.Commit", false}};
    std::vector<std::pair<std::string, bool>> log;
    for (const THostCall& call : session.CallLog())
        log.push_back({call.operation, call.failed});
    EXPECT_EQ(log, expected);
    EXPECT_EQ(ReadObjects(m_file).size(), 2u);
}

TEST_F(HostSessionTest, SettingsAndShowRectPersistWithoutCommit) {
    {
        THostSession session(m_file);
        auto objects = MapObjects(session);
        AddPoint(objects.Get(), 0, 0); // opens the map-object transaction
        EXPECT_EQ(
            session.Application()->SetSetting(W("TextImportModule.X").Get(), W("Колонка 1").Get()),
            S_OK);
        EXPECT_EQ(session.Application()->ShowRect(1, 2, 3, 4, kShowRectMoveView), S_OK);
        TBstr value;
        EXPECT_EQ(session.Application()->GetSetting(W("TextImportModule.X").Get(), W("").Get(),
                                                    value.Put()),
                  S_OK);
        EXPECT_EQ(WideToUtf8(value.View()), "Колонка 1");
        EXPECT_EQ(session.Application()->GetSetting(W("Missing").Get(), W("по умолчанию").Get(),
                                                    value.Put()),
                  S_OK);
        EXPECT_EQ(WideToUtf8(value.View()), "по умолчанию");
    } // closed without commit
    EXPECT_TRUE(ReadObjects(m_file).empty());
    THostSession session(m_file);
    TBstr value;
    EXPECT_EQ(
        session.Application()->GetSetting(W("TextImportModule.X").Get(), W("").Get(), value.Put()),
        S_OK);
    EXPECT_EQ(WideToUtf8(value.View()), "Колонка 1");
    EXPECT_EQ(session.LastShowRect(), (std::array<double, 4>{1, 2, 3, 4}));
}

TEST_F(HostSessionTest, ReadsNamedStreams) {
    THostSession session(m_file);
    auto db = TComPtr<IUnknown>(session.Manager()).As<IQmGISDatabase>();
    TComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, stream.Put()), S_OK);
    auto raw = TQmText::From("Raw.Bytes");
    ASSERT_EQ(db->ReadStream(&raw, stream.Get()), S_OK);
    ULARGE_INTEGER size = 0;
    stream->Seek(0, STREAM_SEEK_END, &size);
    EXPECT_EQ(size, 4u);
    auto config = TQmText::From("Kavro.Database\\Configuration");
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, stream.Put()), S_OK);
    ASSERT_EQ(db->ReadStream(&config, stream.Get()), S_OK);
    stream->Seek(0, STREAM_SEEK_END, &size);
    EXPECT_GT(size, 100u);
    auto missing = TQmText::From("No.Such.Stream");
    EXPECT_EQ(db->ReadStream(&missing, stream.Get()), S_FALSE);
}

TEST_F(HostSessionTest, ObjectsHeldAfterCloseFailCleanly) {
    TComPtr<IKavroMapObjects> objects;
    {
        THostSession session(m_file);
        objects = MapObjects(session);
    }
    TComPtr<IKavroMapObject> object;
    EXPECT_LT(objects->Add(W("L1").Get(), object.Put()), 0);
    EXPECT_EQ(LastErrorText(), "Проект закрыт");
}

TEST_F(HostSessionTest, AddOnApiDescribesTheProjectInProjectOrder) {
    THostSession session(m_file);
    TComPtr<IUnknown> manager(session.Manager());
    auto project = manager.As<IQmMapProject>();
    auto db = manager.As<IQmGISDatabase>();
    ASSERT_TRUE(project && db && manager.As<IQmAddOnManager>() && manager.As<IQmMapObjects>() &&
                manager.As<IQmMapView>() && manager.As<IQmGeometryLib>() &&
                manager.As<IQmPreferences>() && manager.As<IKavroApplication>());
    EXPECT_EQ(manager.As<IQmGISDatabase>().As<IUnknown>().Get(), session.Manager());

    auto ids = [](IQmIDsList* list) {
        std::vector<std::string> result;
        std::int32_t count = 0;
        EXPECT_EQ(list->Count(&count), S_OK);
        for (std::int32_t i = 0; i < count; ++i) {
            TQmID id{};
            EXPECT_EQ(list->Get(i, &id), S_OK);
            result.push_back(AnsiToUtf8(id.View()));
        }
        TQmID id{};
        EXPECT_LT(list->Get(count, &id), 0);
        return result;
    };
    TComPtr<IQmIDsList> list;
    ASSERT_EQ(project->GetMapIDs(list.Put()), S_OK);
    EXPECT_EQ(ids(list.Get()), (std::vector<std::string>{"M1", "M2"}));
    auto m1 = TQmID::From("M1"), l1 = TQmID::From("L1"), s2 = TQmID::From("S2"),
         t2 = TQmID::From("T2");
    ASSERT_EQ(db->GetLayerIDs(&m1, list.Put()), S_OK);
    EXPECT_EQ(ids(list.Get()), (std::vector<std::string>{"L1", "L2"}));
    ASSERT_EQ(db->GetStyleIDs(&l1, list.Put()), S_OK);
    EXPECT_EQ(ids(list.Get()), (std::vector<std::string>{"S1", "S2"}));
    ASSERT_EQ(db->GetTableIDs(&l1, list.Put()), S_OK);
    EXPECT_EQ(ids(list.Get()), (std::vector<std::string>{"T1", "T2"}));

    TQmLayerInfo layer{};
    ASSERT_EQ(db->GetLayerInfo(&l1, &layer), S_OK);
    EXPECT_EQ(AnsiToUtf8(layer.name.View()), "Пункты");
    EXPECT_EQ(AnsiToUtf8(layer.mapId.View()), "M1");
    TComPtr<IQmStyle> style;
    ASSERT_EQ(db->GetStyle(&s2, style.Put()), S_OK);
    TQmText styleName{};
    ASSERT_EQ(style->GetName(&styleName), S_OK);
    EXPECT_EQ(AnsiToUtf8(styleName.View()), "Репер");
    ASSERT_EQ(style->GetIDs(list.Put()), S_OK);
    EXPECT_EQ(ids(list.Get()).at(0), "L1"); // the owning layer first
    TQmTableInfo table{};
    ASSERT_EQ(db->GetTableInfo(&t2, &table), S_OK);
    EXPECT_EQ(AnsiToUtf8(table.name.View()), "HISTORY");
    EXPECT_EQ(AnsiToUtf8(table.caption.View()), "История");
}

TEST_F(HostSessionTest, AutomationApiDescribesLayersTablesAndFields) {
    THostSession session(m_file, "/opt/kavro");
    TBstr text;
    ASSERT_EQ(session.Application()->get_Folder(text.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(text.View()), "/opt/kavro");

    TComPtr<IKavroProjectView> view;
    ASSERT_EQ(session.Application()->get_ProjectView(view.Put()), S_OK);
    std::int32_t count = 0;
    ASSERT_EQ(view->get_MapCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    TBstr id, name;
    ASSERT_EQ(view->GetMap(1, id.Put(), name.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(name.View()), "Карта 2");
    ASSERT_EQ(view->GetLayer(W("M1").Get(), 1, id.Put(), name.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(id.View()), "L2");
    ASSERT_EQ(view->get_ActiveLayer(id.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(id.View()), "L1");

    TComPtr<IKavroLayer> layer;
    ASSERT_EQ(session.Database()->GetLayer(W("L1").Get(), layer.Put()), S_OK);
    TComPtr<IKavroStyles> styles;
    ASSERT_EQ(layer->get_Styles(styles.Put()), S_OK);
    TComPtr<IKavroStyle> style;
    ASSERT_EQ(styles->Item(1, style.Put()), S_OK);
    ASSERT_EQ(style->get_Name(name.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(name.View()), "Репер");
    EXPECT_LT(styles->Item(2, style.Put()), 0);

    TComPtr<IKavroSemTables> tables;
    ASSERT_EQ(layer->get_SemTables(tables.Put()), S_OK);
    ASSERT_EQ(tables->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    TComPtr<IKavroSemTable> table;
    ASSERT_EQ(tables->Item(0, table.Put()), S_OK);
    ASSERT_EQ(table->get_Caption(name.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(name.View()), "Пункты");
    ASSERT_EQ(table->get_FieldCount(&count), S_OK);
    ASSERT_EQ(count, 5);
    std::int32_t type = 0;
    ASSERT_EQ(table->GetFieldDef(4, id.Put(), &type), S_OK);
    EXPECT_EQ(WideToUtf8(id.View()), "DATE");
    EXPECT_EQ(type, 40);
    ASSERT_EQ(table->GetFieldName(id.Get(), name.Put()), S_OK);
    EXPECT_EQ(WideToUtf8(name.View()), "DATE");
    ASSERT_EQ(table->GetFieldType(W("H").Get(), &type), S_OK);
    EXPECT_EQ(type, 30);
    std::int32_t mode = -1;
    ASSERT_EQ(tables->Item(1, table.Put()), S_OK);
    ASSERT_EQ(table->get_Mode(&mode), S_OK);
    EXPECT_EQ(mode, 1);
}
