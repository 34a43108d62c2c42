#include "stream.h"

#include "com_object.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

class TMemoryStream final : public TComObject<IStream> {
public:
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
        if (read)
            *read = 0;
        if (!buffer && size)
            return E_POINTER;
        const std::uint64_t available = m_pos < m_data.size() ? m_data.size() - m_pos : 0;
        const ULONG n = static_cast<ULONG>(std::min<std::uint64_t>(size, available));
        if (n)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        if (read)
            *read = n;
        return n < size ? S_FALSE : S_OK;
    }
    // Writing past the end fills the gap with zeros. Nothing is written when the stream would
    // pass its limit or memory runs out.
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override {
        if (written)
            *written = 0;
        if (!buffer && size)
            return E_POINTER;
        if (m_pos > kMaxSize || size > kMaxSize - m_pos)
            return STG_E_MEDIUMFULL;
        const std::uint64_t end = m_pos + size;
        if (end > m_data.size()) {
            const HRESULT hr = Resize(end, STG_E_MEDIUMFULL);
            if (FAILED(hr))
                return hr;
        }
        if (size)
            std::memcpy(m_data.data() + m_pos, buffer, size);
        m_pos = end;
        if (written)
            *written = size;
        return S_OK;
    }
    // Any position from 0 on, also past the end; one that would be negative or overflow fails
    // and leaves the position.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* newPosition) override {
        std::int64_t base;
        switch (origin) {
        case STREAM_SEEK_SET:
            base = 0;
            break;
        case STREAM_SEEK_CUR:
            base = static_cast<std::int64_t>(m_pos);
            break;
        case STREAM_SEEK_END:
            base = static_cast<std::int64_t>(m_data.size());
            break;
        default:
            return STG_E_INVALIDFUNCTION;
        }
        std::int64_t target = 0;
        if (__builtin_add_overflow(base, move, &target) || target < 0)
            return STG_E_INVALIDFUNCTION;
        m_pos = static_cast<std::uint64_t>(target);
        if (newPosition)
            *newPosition = m_pos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
        if (size > kMaxSize)
            return STG_E_MEDIUMFULL;
        return Resize(size, E_OUTOFMEMORY);
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(void*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    // What a 32-bit size can say, as for the memory streams of Windows: the boundary reads a
    // stream in one call whose size is a ULONG.
    static constexpr std::uint64_t kMaxSize = UINT32_MAX;

    ~TMemoryStream() = default;
    HRESULT Resize(std::uint64_t size, HRESULT outOfMemory) noexcept {
        try {
            m_data.resize(static_cast<std::size_t>(size));
            return S_OK;
        } catch (const std::exception&) {
            return outOfMemory;
        }
    }

    std::vector<unsigned char> m_data;
    std::uint64_t m_pos = 0;
};

} // namespace

HRESULT CreateStreamOnHGlobal(void* memory, BOOL /*deleteOnRelease*/, IStream** stream) {
    if (!stream)
        return E_POINTER;
    *stream = nullptr;
    if (memory)
        return E_INVALIDARG;
    *stream = new (std::nothrow) TMemoryStream;
    return *stream ? S_OK : E_OUTOFMEMORY;
}
