// TStringFile: the lines of a text file in a code page, for the point and survey readers.
#pragma once

#include "text_reader.h"

#include <filesystem>
#include <memory>

class TStringFile {
public:
    // Opens the file for reading; throws EFileOpenError ("Cannot open file "<path>". <reason>")
    // when it cannot be opened.
    TStringFile(const std::filesystem::path& fileName, unsigned codePage = codepage::kAnsi,
                std::size_t bufferSize = TTextReader::kDefaultBufferSize);

    bool End() const { return m_reader->End(); }
    AnsiString ReadLine() { return m_reader->ReadLine(); }
    void ReadLine(AnsiString& line) { m_reader->ReadLine(line); }
    TTextReader& Reader() { return *m_reader; }
    // How far reading has come, in bytes of the file (read ahead by the reader's buffer), and
    // the file's size: for progress, not for positioning.
    std::uint64_t BytesRead() const { return m_stream->Position(); }
    std::uint64_t Size() const { return m_stream->Size(); }

private:
    // Declared first so that it outlives the reader, which does not own it.
    std::unique_ptr<TFileStream> m_stream;
    std::unique_ptr<TTextReader> m_reader;
};
