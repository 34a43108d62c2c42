// What every point import shares: the extent, the host writer with its record rules and
// commits, the commit after an error, and the preview line.
#include "host_api/host_errors.h"
#include "import/host_writer.h"
#include "import/preview_lines.h"
#include "platform/locale.h"
#include "support/point_project.h"

#include <gtest/gtest.h>

namespace {

TEST(ImportExtent, ExtendMergeAndSize) {
    TImportExtent e;
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(e.Width(), 0);
    EXPECT_FALSE(e.HasArea());
    e.Extend({5, 6});
    EXPECT_FALSE(e.IsEmpty());
    EXPECT_FALSE(e.HasArea()); // one point: no width, no height
    e.Extend({1, 9});
    e.Extend({3, -2});
    EXPECT_EQ(e.MinX, 1);
    EXPECT_EQ(e.MaxX, 5);
    EXPECT_EQ(e.MinY, -2);
    EXPECT_EQ(e.MaxY, 9);
    EXPECT_EQ(e.Width(), 4);
    EXPECT_EQ(e.Height(), 11);

    TImportExtent empty, copy;
    e.Merge(empty);
    EXPECT_EQ(e.Width(), 4);
    copy.Merge(e);
    EXPECT_EQ(copy.MinX, 1);
    EXPECT_EQ(copy.MaxY, 9);
    TImportExtent far;
    far.Extend({100, -50});
    copy.Merge(far);
    EXPECT_EQ(copy.MaxX, 100);
    EXPECT_EQ(copy.MinY, -50);
    EXPECT_EQ(copy.MinX, 1);
    EXPECT_EQ(copy.MaxY, 9);

    TImportExtent partly;
    partly.MinX = 0;
    EXPECT_TRUE(partly.IsEmpty()); // any NaN makes it empty
}

TEST(HostWriter, RecordsFollowTheRuleAndTheTablesMode) {
    // T1 has mode 0 (one record per object), T2 mode 1 (records handed out by the host).
    struct Case {
        TRecordRule rule;
        const char* table;
        std::int32_t numberRecord, noteRecord;
    } cases[] = {
        {TRecordRule::ObjectRecord, "T1", 0, 0},
        {TRecordRule::ObjectRecord, "T2", 0, 0},
        {TRecordRule::NewRecordPerObject, "T1", 0, 0},
        {TRecordRule::NewRecordPerObject, "T2", 1, 1},
        {TRecordRule::NewRecordPerValue, "T1", 0, 0},
        {TRecordRule::NewRecordPerValue, "T2", 1, 2},
    };
    TPointProject project;
    IKavroDb* db = project.session->Database();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " rule " + std::to_string(static_cast<int>(c.rule)));
        THostWriter writer(TComPtr<IKavroDb>(db), 0);
        const THostTable table(db, HostIdBstr(std::string_view(c.table)), c.rule);
        const auto object = writer.AddPointObject(AnsiBstr("L1"), AnsiBstr("S1"), {1, 2});
        TObjectValues values(object.Get(), table);
        values.Set(AnsiBstr("NUM"), TVariant::Text(u"7"));
        values.Set(AnsiBstr("NOTE"), TVariant::Text(u"x"));
        writer.Commit();
        const auto objects = kavrohost::ReadObjects(project.file);
        ASSERT_FALSE(objects.empty());
        const auto& o = objects.back();
        ASSERT_EQ(o.values.size(), 2u);
        EXPECT_EQ(o.values[0].record, c.numberRecord);
        EXPECT_EQ(o.values[1].record, c.noteRecord);
        EXPECT_EQ(o.shapes[0].parts[0].vertices[0].x, 1);
    }
}

TEST(HostWriter, CommitsInBatchesAndWhenTold) {
    TPointProject project;
    THostWriter writer(TComPtr<IKavroDb>(project.session->Database()), 2);
    for (int i = 0; i < 5; ++i) {
        (void)writer.AddPointObject(AnsiBstr("L1"), AnsiBstr("S1"), {1.0 * i, 0});
        writer.ObjectDone();
    }
    EXPECT_EQ(project.session->CommitCount(), 2);
    EXPECT_EQ(writer.Pending(), 1);
    writer.CommitPending();
    writer.CommitPending(); // nothing pending: no commit
    EXPECT_EQ(project.session->CommitCount(), 3);
    writer.Commit(); // when told, also with nothing pending
    EXPECT_EQ(project.session->CommitCount(), 4);
    EXPECT_EQ(kavrohost::ReadObjects(project.file).size(), 5u);

    // An object whose creation fails is not pending; one whose shape fails is.
    project.session->FailOn("IKavroMapObjects.Add", 1, "Отказ");
    EXPECT_THROW((void)writer.AddPointObject(AnsiBstr("L1"), AnsiBstr("S1"), {0, 0}), EUserError);
    EXPECT_EQ(writer.Pending(), 0);
    project.session->FailOn("IKavroShapes.Add", 1, "Отказ");
    EXPECT_THROW((void)writer.AddPointObject(AnsiBstr("L1"), AnsiBstr("S1"), {0, 0}), EUserError);
    EXPECT_EQ(writer.Pending(), 1);
}

TEST(CommitAfterError, TheErrorPropagatesWithAFailingCommit) {
    const auto error = std::make_exception_ptr(EHResultError(E_FAIL, "read failed"));
    // The commit works: the error itself propagates, with its type.
    int commits = 0;
    EXPECT_THROW(CommitAfterError(error, [&] { ++commits; }), EHResultError);
    EXPECT_EQ(commits, 1);
    // The commit fails too: one error says both.
    try {
        CommitAfterError(error, [] { throw EUserError("disk full"); });
        FAIL() << "no error";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(), "read failed\r\n" +
                                   Ansi("Не удалось сохранить объекты, созданные до ошибки: ") +
                                   "disk full");
    }
}

TEST(PreviewLines, PointLineWithTheUsersSeparator) {
    SetDecimalSeparator(',');
    EXPECT_EQ(PointPreviewLine("P7", {1.5, -2, 100.004}), "P7 1,50 -2,00 100,00");
    SetDecimalSeparator('.');
}

} // namespace
