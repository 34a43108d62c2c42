#include "platform/com/errorinfo.h"
#include "platform/com/guid.h"
#include "platform/com/object_count.h"
#include "platform/com/stream.h"
#include "platform/com/variant.h"

#include <gtest/gtest.h>

TEST(Guid, ParsesAndPrintsTheRegistryForm) {
    constexpr GUID g = MakeGuid("{27dace42-8427-11d2-af21-0020afded75d}");
    EXPECT_EQ(g.Data1, 0x27DACE42u);
    EXPECT_EQ(g.Data2, 0x8427);
    EXPECT_EQ(g.Data4[7], 0x5D);
    EXPECT_EQ(GuidToString(g), "{27DACE42-8427-11D2-AF21-0020AFDED75D}");
    // Windows byte layout: Data1 little-endian first.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g);
    EXPECT_EQ(bytes[0], 0x42);
    EXPECT_EQ(bytes[8], 0xAF);
}

TEST(Guid, RejectsMalformedText) {
    for (const char* text :
         {"", "{27DACE42-8427-11D2-AF21-0020AFDED75}", "27DACE42x8427-11D2-AF21-0020AFDED75D",
          "{27DACE42-8427-11D2-AF21-0020AFDED7ZZ}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseGuid(text).has_value());
    }
}

TEST(Bstr, KeepsLengthPrefixAndEmbeddedZeros) {
    const char16_t text[] = {u'a', 0, u'b'};
    TBstr s(std::u16string_view(text, 3));
    EXPECT_EQ(SysStringLen(s.Get()), 3u);
    std::uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<char*>(s.Get()) - 4, 4);
    EXPECT_EQ(bytes, 6u);
    EXPECT_EQ(s.Get()[3], 0);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
}

TEST(Variant, CopiesOwnTheirText) {
    TVariant a = TVariant::Text(u"abc");
    TVariant b = a;
    ASSERT_EQ(b.Type(), VT_BSTR);
    EXPECT_NE(a.Raw().bstrVal, b.Raw().bstrVal);
    EXPECT_EQ(BstrView(b.Raw().bstrVal), u"abc");
    EXPECT_EQ(TVariant::Null().Type(), VT_NULL);
}

// Our in-memory stream; Windows builds use the system's CreateStreamOnHGlobal.
#if !defined(_WIN32)
TEST(MemoryStream, SeeksReadsAndWrites) {
    TComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, s.Put()), S_OK);
    ULONG n = 0;
    ASSERT_EQ(s->Write("hello", 5, &n), S_OK);
    ULARGE_INTEGER end = 0, start = 1;
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_END, &end), S_OK);
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_SET, &start), S_OK);
    EXPECT_EQ(end - start, 5u);
    char buf[8] = {};
    EXPECT_EQ(s->Read(buf, 8, &n), S_FALSE);
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(buf, "hello");
    EXPECT_LT(s->Seek(-1, STREAM_SEEK_SET, nullptr), 0);
    // One object behind every interface it answers for.
    TComPtr<ISequentialStream> sequential = s.As<ISequentialStream>();
    TComPtr<IUnknown> a = s.As<IUnknown>(), b = sequential.As<IUnknown>();
    ASSERT_TRUE(sequential && a);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_FALSE(s.As<IErrorInfo>());
    EXPECT_EQ(CreateStreamOnHGlobal(reinterpret_cast<void*>(1), 1, s.Put()), E_INVALIDARG);
}

// A memory stream holds what a 32-bit size can say; beyond that, or when memory runs out, its
// methods fail with an HRESULT and leave the stream as it was.
TEST(MemoryStream, SizesBeyondItsLimitFailWithoutThrowing) {
    TComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, s.Put()), S_OK);
    ULONG n = 7;
    ASSERT_EQ(s->Write("abc", 3, &n), S_OK);
    ULARGE_INTEGER pos = 0;
    ASSERT_EQ(s->Seek(std::int64_t{1} << 40, STREAM_SEEK_SET, &pos), S_OK) << "past the end";
    EXPECT_EQ(s->Write("x", 1, &n), STG_E_MEDIUMFULL);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_CUR, &pos), S_OK);
    EXPECT_EQ(pos, ULARGE_INTEGER{1} << 40) << "the position stays";
    ASSERT_EQ(s->Seek(INT64_MAX, STREAM_SEEK_SET, &pos), S_OK);
    EXPECT_EQ(s->Seek(1, STREAM_SEEK_CUR, &pos), STG_E_INVALIDFUNCTION) << "no overflow";
    EXPECT_EQ(s->Seek(INT64_MIN, STREAM_SEEK_END, &pos), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->SetSize(ULARGE_INTEGER{1} << 63), STG_E_MEDIUMFULL);
    EXPECT_EQ(s->SetSize(ULARGE_INTEGER{1} << 32), STG_E_MEDIUMFULL);

    ASSERT_EQ(s->Seek(0, STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos, 3u) << "the size stays";
    ASSERT_EQ(s->Write("d", 1, &n), S_OK);
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_SET, &pos), S_OK);
    char buf[5] = {};
    EXPECT_EQ(s->Read(buf, 4, &n), S_OK);
    EXPECT_STREQ(buf, "abcd");
}

// The stream is the one object the module hands to the host's ReadStream: null pointers and
// bad arguments get an HRESULT and change nothing.
TEST(MemoryStream, NullPointersAndBadArgumentsGetAnHresult) {
    TComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, nullptr), E_POINTER);
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, s.Put()), S_OK);
    ASSERT_EQ(s->Write("abc", 3, nullptr), S_OK);
    ULONG n = 7;
    const struct {
        const char* call;
        HRESULT result;
        HRESULT expected;
    } cases[] = {
        {"QueryInterface null", s->QueryInterface(IID_IStream, nullptr), E_POINTER},
        {"Read null buffer", s->Read(nullptr, 4, &n), E_POINTER},
        {"Read nothing into null", s->Read(nullptr, 0, nullptr), S_OK},
        {"Write null buffer", s->Write(nullptr, 4, nullptr), E_POINTER},
        {"Write nothing from null", s->Write(nullptr, 0, nullptr), S_OK},
        {"Seek bad origin", s->Seek(0, 7, nullptr), STG_E_INVALIDFUNCTION},
        {"Seek before the start", s->Seek(-4, STREAM_SEEK_END, nullptr), STG_E_INVALIDFUNCTION},
        {"CopyTo null", s->CopyTo(nullptr, 5, nullptr, nullptr), E_NOTIMPL},
        {"Stat null", s->Stat(nullptr, 0), E_NOTIMPL},
        {"Clone null", s->Clone(nullptr), E_NOTIMPL},
        {"LockRegion", s->LockRegion(0, ~0ull, 0), E_NOTIMPL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, c.expected) << c.call;
    EXPECT_EQ(n, 0u);
    ULARGE_INTEGER pos = 9;
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_CUR, &pos), S_OK);
    EXPECT_EQ(pos, 3u) << "the failed calls left the position";
    ASSERT_EQ(s->Seek(0, STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos, 3u) << "and the size";
}

// Objects of this binary are what DllCanUnloadNow answers from: a stream handed to the host
// holds the binary as long as the host holds it.
TEST(MemoryStream, IsALiveObjectOfItsBinary) {
    const long before = ComObjectCount();
    TComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, 1, s.Put()), S_OK);
    EXPECT_EQ(ComObjectCount(), before + 1);
    s.Reset();
    EXPECT_EQ(ComObjectCount(), before);
}
#endif

TEST(ErrorInfo, IsPerThreadAndHandedOverOnce) {
    EXPECT_EQ(SetErrorText(E_FAIL, u"src", u"boom"), E_FAIL);
    TComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    TBstr d;
    info->GetDescription(d.Put());
    EXPECT_EQ(d.View(), u"boom");
    EXPECT_EQ(GetErrorInfo(0, info.Put()), S_FALSE);
    EXPECT_FALSE(info);
}
