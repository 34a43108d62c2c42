// Byte streams that the text readers decode: a file opened for shared reading and a block of
// memory. One virtual call per buffer fill, never per character.
#pragma once

#include "platform/codepage.h"
#include "platform/exception.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

class TByteStream {
public:
    virtual ~TByteStream() = default;

    // Reads up to `size` bytes at the current position and advances past them; returns how
    // many were read, 0 at the end. Throws EStreamError when the device fails.
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual void Seek(std::uint64_t position) = 0;
    virtual std::uint64_t Size() const = 0;
    // The file name for messages; empty for a stream that is no file.
    virtual AnsiString Name() const { return {}; }
};

// A stream that cannot be read or positioned.
class EStreamError : public EUserError {
public:
    using EUserError::EUserError;
};

// A file that could not be opened: "Cannot open file "<full path>". <system text>" (for a pipe
// or a device "Not a regular file").
class EFileOpenError : public EUserError {
public:
    using EUserError::EUserError;
};

// Whether the name leads (through links) to a regular file: not a folder, a pipe or a device.
// Never opens it, so never waits.
[[nodiscard]] bool IsRegularFile(const std::filesystem::path& fileName) noexcept;

// A regular file opened for reading. Writers are not locked out on this platform; readers never
// write.
class TFileStream final : public TByteStream {
public:
    // Throws EFileOpenError when the file cannot be opened or is not a regular file (a folder,
    // a pipe, a device: refused at once, never waited on).
    explicit TFileStream(const std::filesystem::path& fileName);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t size) override;
    std::uint64_t Position() const override { return m_position; }
    void Seek(std::uint64_t position) override;
    std::uint64_t Size() const override;
    AnsiString Name() const override { return m_name; }

private:
    int m_fd = -1;
    std::uint64_t m_position = 0;
    AnsiString m_name;
};

// A stream over bytes it keeps itself.
class TMemoryStream final : public TByteStream {
public:
    explicit TMemoryStream(std::string bytes) : m_bytes(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t size) override;
    std::uint64_t Position() const override { return m_position; }
    void Seek(std::uint64_t position) override;
    std::uint64_t Size() const override { return m_bytes.size(); }

private:
    std::string m_bytes;
    std::uint64_t m_position = 0;
};

// The full path of a file name as Windows-1251 text, for messages.
AnsiString FileNameForMessage(const std::filesystem::path& fileName);
