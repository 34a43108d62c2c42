#include "byte_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

AnsiString SystemErrorText(int error) {
    return Utf8ToAnsi(std::strerror(error));
}

} // namespace

AnsiString FileNameForMessage(const std::filesystem::path& fileName) {
    std::error_code ec;
    auto full = std::filesystem::absolute(fileName, ec);
    if (ec)
        full = fileName;
    const auto utf8 = full.u8string();
    return Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

TFileStream::TFileStream(const std::filesystem::path& fileName)
    : m_name(FileNameForMessage(fileName)) {
    m_fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    int error = errno;
    if (m_fd >= 0) {
        // open() succeeds on a folder; reading it would fail later with a less clear message.
        struct stat st {};
        if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            error = EISDIR;
        }
    }
    if (m_fd < 0)
        throw EFileOpenError("Cannot open file \"" + m_name + "\". " + SystemErrorText(error));
}

TFileStream::~TFileStream() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t TFileStream::Read(void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ::read(m_fd, out + total, size - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EStreamError("Stream read error (" + m_name + "). " + SystemErrorText(errno));
        }
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    m_position += total;
    return total;
}

void TFileStream::Seek(std::uint64_t position) {
    if (::lseek(m_fd, static_cast<off_t>(position), SEEK_SET) < 0)
        throw EStreamError("Stream seek error (" + m_name + "). " + SystemErrorText(errno));
    m_position = position;
}

std::uint64_t TFileStream::Size() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throw EStreamError("Stream read error (" + m_name + "). " + SystemErrorText(errno));
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t size) {
    if (m_position >= m_bytes.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(size, m_bytes.size() - m_position);
    std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

void TMemoryStream::Seek(std::uint64_t position) {
    m_position = position;
}
