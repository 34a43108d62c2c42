// The project store when a write or a commit fails: SQLite ending the transaction on its own
// (a full database), a COMMIT that cannot write, and what is saved afterwards.
#include "host/core/host_session.h"
#include "host/store/project_store.h"
#include "platform/com/errorinfo.h"
#include "support/temp_dir.h"
#include "test_project.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace kavrohost;

namespace {

class StoreFailureTest : public ::testing::Test {
protected:
    void SetUp() override { CreateProject(m_file, SmallProjectDescription()); }

    // A point object numbered `number` at (number, 2 * number) with its number in POINTS.NUM.
    static void AddPoint(TProjectStore& store, int number) {
        const TProjectModel& model = store.Model();
        const TTableDef* table = model.FindTable("T1");
        const std::int64_t object = store.AddObject(model.FindLayer("L1")->key);
        const std::int64_t shape = store.AddShape(object, 0, false, model.FindStyle("S1")->key);
        const std::int64_t part = store.AddPart(shape, 0, false);
        store.AddVertex(part, 0, false, number, 2.0 * number, 0);
        store.SetValue(object, table->key, table->FieldIndex("NUM"), 0, TValueType::Int, number, 0,
                       {});
    }

    // The numbers of the point objects, each checked value by value against its number.
    static std::vector<int> Numbers(const std::vector<TObjectRecord>& objects) {
        std::vector<int> numbers;
        for (const TObjectRecord& o : objects) {
            EXPECT_EQ(o.shapes.size(), 1u);
            EXPECT_EQ(o.values.size(), 1u);
            if (o.shapes.size() != 1 || o.shapes[0].parts.size() != 1 ||
                o.shapes[0].parts[0].vertices.size() != 1 || o.values.size() != 1) {
                numbers.push_back(-1);
                continue;
            }
            const TVertexRecord& v = o.shapes[0].parts[0].vertices[0];
            const auto number = static_cast<int>(o.values[0].intValue);
            EXPECT_EQ(o.values[0].field, "NUM");
            EXPECT_EQ(v.x, number);
            EXPECT_EQ(v.y, 2.0 * number);
            numbers.push_back(number);
        }
        return numbers;
    }
    // What another connection sees: the committed objects.
    std::vector<int> Committed() { return Numbers(ReadObjects(m_file)); }
    // What the store's own connection sees, its open transaction included.
    static std::vector<int> Seen(TProjectStore& store) {
        std::vector<TObjectRecord> objects;
        store.ForEachObject([&](const TObjectRecord& o) { objects.push_back(o); });
        return Numbers(objects);
    }

    TTempDir m_dir;
    std::filesystem::path m_file = m_dir / "p.kavro";
};

using TNumbers = std::vector<int>;

TEST_F(StoreFailureTest, AFullDatabaseEndsTheTransactionAndTheNextCommitSaysSoOnce) {
    TProjectStore store(m_file);
    AddPoint(store, 1);
    store.Commit();
    // The transaction about to be lost holds a point and a setting.
    AddPoint(store, 2);
    store.SetSetting("Module.Key", "kept");
    store.FillAfterCommits(0);
    std::string error;
    for (int n = 3; n < 20000 && error.empty(); ++n) {
        try {
            AddPoint(store, n);
        } catch (const EStoreError& e) {
            error = e.what();
        }
    }
    ASSERT_NE(error.find("database or disk is full"), std::string::npos) << error;
    // SQLite rolled the whole transaction back; the store knows.
    EXPECT_FALSE(store.InTransaction());
    EXPECT_EQ(Seen(store), TNumbers{1});

    // With room again, a change opens a new transaction: nothing is saved before a commit.
    store.FreeSpace();
    AddPoint(store, 100);
    EXPECT_TRUE(store.InTransaction());
    EXPECT_EQ(Committed(), TNumbers{1});
    // The commit of the changes since the last one fails once and saves none of them.
    try {
        store.Commit();
        ADD_FAILURE() << "the commit after the loss succeeded";
    } catch (const EStoreError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("не сохранены"), std::string::npos) << message;
        EXPECT_NE(message.find("database or disk is full"), std::string::npos) << message;
    }
    EXPECT_FALSE(store.InTransaction());
    EXPECT_EQ(Seen(store), TNumbers{1});
    EXPECT_EQ(Committed(), TNumbers{1});
    EXPECT_EQ(store.CommitCount(), 1);
    // A setting does not wait for a commit: it is written again on its own.
    EXPECT_EQ(store.GetSetting("Module.Key"), "kept");

    AddPoint(store, 101);
    store.Commit();
    EXPECT_EQ(Committed(), (TNumbers{1, 101}));
    EXPECT_EQ(store.CommitCount(), 2);
}

TEST_F(StoreFailureTest, TheDatabaseFillsAfterTheGivenNumberOfCommits) {
    THostSession session(m_file);
    // Through the host's objects, as a module sees it: the message is SQLite's own.
    TComPtr<IKavroMapObjects> objects;
    ASSERT_EQ(session.Database()->get_MapObjects(objects.Put()), S_OK);
    session.FillDatabaseAfterCommits(1);
    TBstr layer(u"L1");
    TComPtr<IKavroMapObject> object;
    ASSERT_EQ(objects->Add(layer.Get(), object.Put()), S_OK);
    ASSERT_EQ(objects->Commit(), S_OK);
    HRESULT hr = S_OK;
    for (int n = 0; n < 20000 && SUCCEEDED(hr); ++n)
        hr = objects->Add(layer.Get(), object.Put());
    ASSERT_TRUE(FAILED(hr));
    TComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    TBstr text;
    info->GetDescription(text.Put());
    EXPECT_NE(WideToUtf8(text.View()).find("database or disk is full"), std::string::npos);
    EXPECT_TRUE(FAILED(objects->Commit()));
    EXPECT_EQ(session.CommitCount(), 1);
    EXPECT_EQ(ReadObjects(m_file).size(), 1u);
}

// A COMMIT that cannot write its pages: the file size limit of the process makes the write of
// the journal fail, as a device that refuses to grow does.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(StoreFailureTest, AFailedCommitLeavesNoTransactionAndARetrySavesEachPointOnce) {
    TProjectStore store(m_file);
    for (int n = 1; n <= 3; ++n)
        AddPoint(store, n);
    std::string error;
    {
        const TFileSizeLimit limit(1024);
        try {
            store.Commit();
        } catch (const EStoreError& e) {
            error = e.what();
        }
    }
    ASSERT_FALSE(error.empty()) << "the commit succeeded";
    EXPECT_FALSE(store.InTransaction());
    EXPECT_EQ(Seen(store), TNumbers{});
    EXPECT_EQ(Committed(), TNumbers{});
    EXPECT_EQ(store.CommitCount(), 0);

    // Importing the three points again saves them once, in one commit.
    for (int n = 1; n <= 3; ++n)
        AddPoint(store, n);
    EXPECT_EQ(Committed(), TNumbers{});
    store.Commit();
    EXPECT_EQ(Committed(), (TNumbers{1, 2, 3}));
    EXPECT_EQ(store.CommitCount(), 1);
}

} // namespace
