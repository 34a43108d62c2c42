// The IStream subset the host boundary uses, and an in-memory stream standing in for
// CreateStreamOnHGlobal.
#pragma once

#include "unknown.h"

#if defined(_WIN32)
// The system's IStream: its positions are the LARGE_INTEGER and ULARGE_INTEGER unions.
TI_SYSTEM_IID(ISequentialStream);
TI_SYSTEM_IID(IStream);

// Position arguments of IStream::Seek in a form that both platforms' declarations take.
inline LARGE_INTEGER StreamOffset(std::int64_t value) {
    LARGE_INTEGER r;
    r.QuadPart = value;
    return r;
}
inline std::uint64_t StreamPosition(const ULARGE_INTEGER& value) {
    return value.QuadPart;
}
#else
using ULARGE_INTEGER = std::uint64_t;
using LARGE_INTEGER = std::int64_t;

constexpr DWORD STREAM_SEEK_SET = 0;
constexpr DWORD STREAM_SEEK_CUR = 1;
constexpr DWORD STREAM_SEEK_END = 2;

struct ISequentialStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

// All slots keep their COM order; the ones after Seek and SetSize are not used across the
// boundary and the in-memory stream answers them with E_NOTIMPL.
struct IStream : ISequentialStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                           ULARGE_INTEGER* newPosition) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size,
                                             ULARGE_INTEGER* read, ULARGE_INTEGER* written) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                                 DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                                   DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(void* statstg, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IStream** copy) = 0;

protected:
    ~IStream() = default;
};

TI_DECLARE_IID(ISequentialStream, "{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
TI_DECLARE_IID(IStream, "{0000000C-0000-0000-C000-000000000046}");

inline LARGE_INTEGER StreamOffset(std::int64_t value) {
    return value;
}
inline std::uint64_t StreamPosition(const ULARGE_INTEGER& value) {
    return value;
}

// Creates a growable stream in memory, of at most 4 GiB - 1 bytes. Only a null memory handle is
// supported; the memory always goes with the stream. Its methods never throw: a write or size
// beyond the limit gives STG_E_MEDIUMFULL, memory that cannot be had E_OUTOFMEMORY (SetSize) or
// STG_E_MEDIUMFULL (Write). The stream is a live COM object of the binary that created it.
HRESULT CreateStreamOnHGlobal(void* memory, BOOL deleteOnRelease, IStream** stream);
#endif
