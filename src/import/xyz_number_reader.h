// The reader of a point file: opens the file, numbers its lines, hands each line to its format
// and delivers the points, counting the lines the format skipped. Every point file format is
// read through it.
#pragma once

#include "import/point_format.h"
#include "platform/exception.h"

#include <cstdint>
#include <filesystem>
#include <memory>

class TStringFile;

// A file whose reading stopped part way: the message names the file and the line.
class EPointFileError : public EUserError {
public:
    using EUserError::EUserError;
};

class TXYZNumberReader {
public:
    static constexpr std::size_t kBufferSize = 10240;

    // Opens the file in Windows-1251 for the format; the open error propagates as the text
    // layer raises it.
    TXYZNumberReader(const std::filesystem::path& fileName, std::unique_ptr<IPointFormat> format);
    virtual ~TXYZNumberReader();
    TXYZNumberReader(const TXYZNumberReader&) = delete;
    TXYZNumberReader& operator=(const TXYZNumberReader&) = delete;

    // The next point, with its line number; false at the end of the file. After the file's
    // last line come the points the format held back until then. A line the format skips is
    // counted in Skipped() under its reason and reading goes on. An error of the format
    // or of the device raises EPointFileError: "Файл <name>, строка <n>: <message>".
    bool ReadPoint(TNXYZPoint& point);

    // The lines skipped so far.
    [[nodiscard]] const TImportReport& Skipped() const { return m_skipped; }
    // The number of the line read last (1-based; 0 before the first).
    [[nodiscard]] std::int64_t LineNumber() const { return m_lineNumber; }
    // How far through the file reading has come, 0 to 1.
    [[nodiscard]] double Fraction() const;
    [[nodiscard]] const std::filesystem::path& FileName() const { return m_fileName; }

protected:
    IPointFormat& Format() { return *m_format; }

private:
    [[noreturn]] void RaiseAtLine(const std::exception& error) const;

    std::filesystem::path m_fileName;
    std::unique_ptr<IPointFormat> m_format;
    std::unique_ptr<TStringFile> m_lines;
    TImportReport m_skipped;
    AnsiString m_line;
    std::int64_t m_lineNumber = 0;
};

// The file name as the module shows it in messages and log lines.
[[nodiscard]] AnsiString FileNameText(const std::filesystem::path& fileName);
