#include "byte_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
// Windows opens by the wide-character name, so that a name in any alphabet opens whatever the
// system's ANSI code page; positions and sizes are 64-bit.
using TFileStat = struct _stat64;
bool StatPath(const std::filesystem::path& fileName, TFileStat& st) {
    return ::_wstat64(fileName.c_str(), &st) == 0;
}
int OpenForReading(const std::filesystem::path& fileName) {
    return ::_wopen(fileName.c_str(), _O_RDONLY | _O_BINARY);
}
// Windows opens no pipe by a file name here; a read waits as it always does.
void ReadsMayWait(int) {}
bool StatOf(int fd, TFileStat& st) {
    return ::_fstat64(fd, &st) == 0;
}
bool SeekTo(int fd, std::uint64_t position) {
    return ::_lseeki64(fd, static_cast<__int64>(position), SEEK_SET) >= 0;
}
int ReadSome(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
int CloseFile(int fd) {
    return ::_close(fd);
}
#else
using TFileStat = struct stat;
bool StatPath(const std::filesystem::path& fileName, TFileStat& st) {
    return ::stat(fileName.c_str(), &st) == 0;
}
// Without waiting: a pipe opened for reading would wait for a writer.
int OpenForReading(const std::filesystem::path& fileName) {
    return ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
// Reads of a regular file never wait; the flag goes so that they behave as usual anyway.
void ReadsMayWait(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}
bool StatOf(int fd, TFileStat& st) {
    return ::fstat(fd, &st) == 0;
}
bool SeekTo(int fd, std::uint64_t position) {
    return ::lseek(fd, static_cast<off_t>(position), SEEK_SET) >= 0;
}
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
int CloseFile(int fd) {
    return ::close(fd);
}
#endif

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
    TFileStat st{};
    return StatPath(fileName, st) && S_ISREG(st.st_mode);
}

TFileStream::TFileStream(const std::filesystem::path& fileName)
    : m_name(FileNameForMessage(fileName)) {
    // Only a regular file is read. A pipe opened for reading waits for a writer and a device
    // may never end, so the name is looked at before it is opened, and the open does not wait
    // in case the name was replaced in between; what was opened is looked at again.
    const auto fail = [&](const AnsiString& reason) {
        if (m_fd >= 0)
            CloseFile(m_fd);
        m_fd = -1;
        throw EFileOpenError("Cannot open file \"" + m_name + "\". " + reason);
    };
    const auto kindOf = [](const TFileStat& st) -> AnsiString {
        if (S_ISREG(st.st_mode))
            return {};
        // open() succeeds on a folder; reading it would fail later with a less clear message.
        return S_ISDIR(st.st_mode) ? SystemErrorText(EISDIR) : AnsiString("Not a regular file");
    };
    TFileStat st{};
    if (!StatPath(fileName, st))
        fail(SystemErrorText(errno));
    if (const AnsiString kind = kindOf(st); !kind.empty())
        fail(kind);
    m_fd = OpenForReading(fileName);
    if (m_fd < 0)
        fail(SystemErrorText(errno));
    if (!StatOf(m_fd, st))
        fail(SystemErrorText(errno));
    if (const AnsiString kind = kindOf(st); !kind.empty())
        fail(kind);
    ReadsMayWait(m_fd);
}

TFileStream::~TFileStream() {
    if (m_fd >= 0)
        CloseFile(m_fd);
}

std::size_t TFileStream::Read(void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < size) {
        const auto n = ReadSome(m_fd, out + total, size - total);
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
    if (!SeekTo(m_fd, position))
        throw EStreamError("Stream seek error (" + m_name + "). " + SystemErrorText(errno));
    m_position = position;
}

std::uint64_t TFileStream::Size() const {
    TFileStat st{};
    if (!StatOf(m_fd, st))
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
