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

bool IsRegularFile(const std::filesystem::path& fileName) noexcept {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TFileStream::TFileStream(const std::filesystem::path& fileName)
    : m_name(FileNameForMessage(fileName)) {
    // Only a regular file is read. A pipe opened for reading waits for a writer and a device
    // may never end, so the name is looked at before it is opened, and the open does not wait
    // in case the name was replaced in between; what was opened is looked at again.
    const auto fail = [&](const AnsiString& reason) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        throw EFileOpenError("Cannot open file \"" + m_name + "\". " + reason);
    };
    const auto kindOf = [](const struct stat& st) -> AnsiString {
        if (S_ISREG(st.st_mode))
            return {};
        // open() succeeds on a folder; reading it would fail later with a less clear message.
        return S_ISDIR(st.st_mode) ? SystemErrorText(EISDIR) : AnsiString("Not a regular file");
    };
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        fail(SystemErrorText(errno));
    if (const AnsiString kind = kindOf(st); !kind.empty())
        fail(kind);
    m_fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        fail(SystemErrorText(errno));
    if (::fstat(m_fd, &st) != 0)
        fail(SystemErrorText(errno));
    if (const AnsiString kind = kindOf(st); !kind.empty())
        fail(kind);
    // Reads of a regular file never wait; the flag goes so that they behave as usual anyway.
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
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
