// Host-call wrappers and the reading of a named database stream.
#include "addon/com_server.h"
#include "addon/custom_addon.h"
#include "addon/fake_host.h"
#include "addon/module_state.h"
#include "addon/sample_addon.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A stream whose seek or read fails, or whose read comes up short.
class TBrokenStream final : public IStream {
public:
    enum Fault { SeekEnd, SeekStart, ReadFails, ReadShort } fault;
    explicit TBrokenStream(Fault f) : fault(f) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
        if (fault == ReadFails)
            return E_FAIL;
        const ULONG n = fault == ReadShort ? size - 1 : size;
        std::memset(buffer, 'x', n);
        *read = n;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD origin, ULARGE_INTEGER* pos) override {
        if ((fault == SeekEnd && origin == STREAM_SEEK_END) ||
            (fault == SeekStart && origin == STREAM_SEEK_SET))
            return STG_E_INVALIDFUNCTION;
        *pos = origin == STREAM_SEEK_END ? 10 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(void*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }
};

// An identifier list answering S_FALSE for an index past its end.
class TFakeIDsList final : public IQmIDsList {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) override {
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmID* id) override {
        if (index > 0)
            return S_FALSE;
        *id = TQmID::From("L1");
        return S_OK;
    }
};

AnsiString HostErrorText(HRESULT hr) {
    try {
        HostCheck(hr);
    } catch (const EHResultError& e) {
        EXPECT_EQ(e.Code(), hr);
        return e.Message();
    }
    ADD_FAILURE() << "no exception for " << hr;
    return "(none)";
}

class HostWrappersTest : public ::testing::Test {
protected:
    void TearDown() override { UnloadAddonModule(); }
    TFakeHost host;
};

TEST_F(HostWrappersTest, FailureCarriesTheHostMessageAndSource) {
    EXPECT_EQ(HostErrorText(E_FAIL), "") << "no sink: empty message";

    SetHostErrorSink(&host);
    host.lastMessage = Ansi("Слой не найден");
    host.lastSource = Ansi("База данных");
    EXPECT_EQ(HostErrorText(E_FAIL), Ansi("Слой не найден. [База данных]"));
    EXPECT_EQ(HostErrorText(E_INVALIDARG), Ansi("Слой не найден. [База данных]"));

    host.lastErrorResult = E_UNEXPECTED;
    EXPECT_EQ(HostErrorText(E_FAIL), "") << "a sink that cannot answer gives nothing";
    SetHostErrorSink(nullptr);
    EXPECT_EQ(host.References(), 1u);
}

TEST_F(HostWrappersTest, NonNegativeResultsReachTheCaller) {
    EXPECT_EQ(HostCheck(S_OK), S_OK);
    EXPECT_EQ(HostCheck(S_FALSE), S_FALSE);

    TFakeIDsList fake;
    TQmIDsList ids;
    ids.intf = TComPtr<IQmIDsList>(&fake);
    TQmID id{};
    EXPECT_EQ(ids.Get(0, id), S_OK);
    EXPECT_EQ(id.Str(), "L1");
    EXPECT_EQ(ids.Get(1, id), S_FALSE);
}

TEST_F(HostWrappersTest, HostFailureThroughAWrapper) {
    SetHostErrorSink(&host);
    host.lastMessage = "Access denied";
    host.lastSource = "Database";
    TQmGISDatabase db;
    db.intf = TComPtr<IQmGISDatabase>(static_cast<IQmGISDatabase*>(&host));
    TQmMapInfo info{};
    try {
        db.GetMapInfo(TQmID::From("M1"), info);
        FAIL() << "E_NOTIMPL must raise";
    } catch (const EHResultError& e) {
        EXPECT_EQ(e.Code(), E_NOTIMPL);
        EXPECT_EQ(e.Message(), "Access denied. [Database]");
    }
    SetHostErrorSink(nullptr);
}

TEST_F(HostWrappersTest, EmptyHolderRaisesInsteadOfCrashing) {
    TQmAddOnManager manager;
    HWND window = 0;
    EXPECT_THROW(manager.GetOwnerWindow(window), EHResultError);
}

TEST_F(HostWrappersTest, ReadDatabaseStreamCopiesTheBytesAndRewinds) {
    TSampleAddon* addon = new TSampleAddon;
    ASSERT_NO_THROW(addon->Initialize(host.Unknown()));
    host.streamBytes = std::string("<doc>\0\xff</doc>", 13);

    std::stringstream target;
    target << "head";
    ASSERT_TRUE(addon->ReadDatabaseStream("Kavro.Database\\Configuration", target));
    ASSERT_EQ(host.streamNames.size(), 1u);
    EXPECT_EQ(host.streamNames[0], "Kavro.Database\\Configuration");
    EXPECT_EQ(target.tellg(), 0);
    EXPECT_EQ(target.str(), "head" + host.streamBytes) << "the bytes are appended";
    std::string first;
    target >> first;
    EXPECT_EQ(first.substr(0, 9), "head<doc>") << "reading starts at position 0";

    host.streamBytes.clear();
    std::stringstream empty;
    EXPECT_TRUE(addon->ReadDatabaseStream("Empty", empty));
    EXPECT_EQ(empty.str(), "");

    host.streamResult = S_FALSE;
    std::stringstream none;
    EXPECT_FALSE(addon->ReadDatabaseStream("Missing", none));
    EXPECT_EQ(none.str(), "");

    host.streamResult = E_FAIL;
    host.lastMessage = "Locked";
    host.lastSource = "Store";
    try {
        addon->ReadDatabaseStream("Broken", none);
        FAIL() << "a failing read must raise";
    } catch (const EHResultError& e) {
        EXPECT_EQ(e.Message(), "Locked. [Store]");
    }
    addon->Finalize();
}

TEST_F(HostWrappersTest, DatabaseCoordinateSystemComesFromTheConfigurationStream) {
    TSampleAddon* addon = new TSampleAddon;
    ASSERT_NO_THROW(addon->Initialize(host.Unknown()));

    // No configuration stream: the local system.
    host.streamResult = S_FALSE;
    TCoordinateReferenceDef ref = addon->GetDatabaseCoordinateReference();
    EXPECT_TRUE(ref.IsUndefined());
    EXPECT_EQ(ref.Caption, Ansi("<Локальная система координат>"));

    host.streamResult = S_OK;
    host.streamBytes = "<config><DatabaseCoordinateReference caption=\"UTM 37\" switchXY=\"true\">"
                       "<Definition format=\" PROJ4 \">+proj=utm +zone=37 +datum=WGS84</Definition>"
                       "</DatabaseCoordinateReference></config>";
    ref = addon->GetDatabaseCoordinateReference();
    EXPECT_EQ(host.streamNames.back(), "Kavro.Database\\Configuration");
    EXPECT_EQ(ref.Caption, "UTM 37");
    EXPECT_EQ(ref.Format, "PROJ4");
    EXPECT_EQ(ref.Parameters, "+proj=utm +zone=37 +datum=WGS84");
    EXPECT_TRUE(ref.SwitchXY);

    // A document that does not parse leaves the local system.
    host.streamBytes = "<config><unclosed>";
    EXPECT_TRUE(addon->GetDatabaseCoordinateReference().IsUndefined());

    // A failing host call is the host's error, not a silent local system.
    host.streamResult = E_FAIL;
    host.lastMessage = "Locked";
    host.lastSource = "Store";
    EXPECT_THROW(addon->GetDatabaseCoordinateReference(), EHResultError);
    addon->Finalize();
}

TEST_F(HostWrappersTest, StreamFaultsHaveTheirMessages) {
    const struct {
        TBrokenStream::Fault fault;
        const char* message;
    } cases[] = {
        {TBrokenStream::SeekEnd, "Ошибка при установке позиции в OLE-потоке"},
        {TBrokenStream::SeekStart, "Ошибка при установке позиции в OLE-потоке"},
        {TBrokenStream::ReadFails, "Ошибка при чтении из OLE-потока"},
        {TBrokenStream::ReadShort, "Ошибка при чтении из OLE-потока"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        TBrokenStream stream(c.fault);
        std::stringstream target;
        try {
            CopyOleStream(stream, target);
            ADD_FAILURE() << "no exception";
        } catch (const EUserError& e) {
            EXPECT_EQ(e.Message(), Ansi(c.message));
        }
        EXPECT_EQ(target.str(), "") << "nothing written on a fault";
    }
}

} // namespace
