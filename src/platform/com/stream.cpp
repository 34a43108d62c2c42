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
        if (!buffer && size)
            return E_POINTER;
        const std::size_t available = m_pos < m_data.size() ? m_data.size() - m_pos : 0;
        const std::size_t n = std::min<std::size_t>(size, available);
        if (n)
            std::memcpy(buffer, m_data.data() + m_pos, n);
        m_pos += n;
        if (read)
            *read = static_cast<ULONG>(n);
        return n < size ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override {
        if (!buffer && size)
            return E_POINTER;
        if (m_pos + size > m_data.size())
            m_data.resize(m_pos + size);
        if (size)
            std::memcpy(m_data.data() + m_pos, buffer, size);
        m_pos += size;
        if (written)
            *written = size;
        return S_OK;
    }
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
        const std::int64_t target = base + move;
        if (target < 0)
            return STG_E_INVALIDFUNCTION;
        m_pos = static_cast<std::size_t>(target);
        if (newPosition)
            *newPosition = m_pos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override {
        m_data.resize(static_cast<std::size_t>(size));
        return S_OK;
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
    ~TMemoryStream() = default;
    std::vector<unsigned char> m_data;
    std::size_t m_pos = 0;
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
