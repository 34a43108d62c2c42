// TTextReader: decodes a byte stream in a code page a buffer at a time and hands out its
// characters as Windows-1251 bytes and its lines.
#pragma once

#include "byte_stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A line longer than the reader's limit: "Файл "<name>": строка <n> длиннее <limit> символов"
// ("Строка <n> длиннее ..." for a stream that is no file).
class ELineTooLong : public EUserError {
public:
    using EUserError::EUserError;
};

class TTextReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 10240;
    // No text, point or survey file of ours has lines near this long: a longer one is a wrong
    // file (a binary one, or line ends the reader does not know), which would otherwise be read
    // into memory whole.
    static constexpr std::size_t kMaxLineLength = 1 << 20;
    // The bytes of the longest character of any supported code page (UTF-8).
    static constexpr std::size_t kLongestCharacter = 4;

    // Reads `stream` from its current position. With code page 65001 a UTF-8 byte-order mark
    // is skipped; with 1200 or 1201 a UTF-16 mark is skipped and decides the byte order.
    // Supported code pages: 1251, 866, 65001, 1200, 1201; any other throws EUserError.
    // `bufferSize` must be at least 1; it bounds the bytes decoded per fill. A fill always holds
    // a whole character, so a buffer below kLongestCharacter bytes is taken as that size.
    TTextReader(TByteStream* stream, unsigned codePage, bool ownsStream,
                std::size_t bufferSize = kDefaultBufferSize);
    ~TTextReader();
    TTextReader(const TTextReader&) = delete;
    TTextReader& operator=(const TTextReader&) = delete;

    // True once no further character can be produced.
    bool End() const { return m_end; }
    // The current character in Windows-1251 ('?' for characters the code page lacks); 0 at
    // the end. Does not advance.
    char Current() const { return m_end ? '\0' : m_chars[m_index]; }
    // Advances to the following character; nothing at the end.
    void Next() {
        if (!m_end && ++m_index >= m_charCount)
            Fill();
    }
    char ReadChar() {
        const char c = Current();
        Next();
        return c;
    }
    // The text up to the next line break, without it. CR LF and LF CR are one break, CR CR and
    // LF LF two. At the end of the stream returns what is left (possibly empty). A line of more
    // than MaxLineLength characters throws ELineTooLong, naming the line by the count of
    // ReadLine calls.
    AnsiString ReadLine();
    // The same into `line`, reusing its storage.
    void ReadLine(AnsiString& line);
    std::size_t MaxLineLength() const { return m_maxLineLength; }
    void SetMaxLineLength(std::size_t length) { m_maxLineLength = length; }

    // The code page in force (a UTF-16 mark may have changed it).
    unsigned CodePage() const { return m_codePage; }
    std::uint64_t StartPosition() const { return m_startPosition; }

private:
    enum class TDecoder { SingleByte, Utf8, Utf16LE, Utf16BE };

    void DetectByteOrderMark();
    void Fill();
    // Decodes the longest decodable prefix of the valid bytes into m_chars; returns its length
    // in bytes and sets m_charCount.
    std::size_t Decode();

    TByteStream* m_stream;
    bool m_ownsStream;
    std::uint64_t m_startPosition = 0;
    unsigned m_codePage;
    TDecoder m_decoder = TDecoder::SingleByte;
    bool m_identity = false;      // single-byte page whose bytes are already Windows-1251
    unsigned char m_table[256]{}; // single-byte page: byte -> Windows-1251 byte
    std::unique_ptr<unsigned char[]> m_bytes;
    std::size_t m_bufferSize;
    std::size_t m_validBytes = 0;
    std::size_t m_decodedBytes = 0;
    std::unique_ptr<char[]> m_chars; // decoded characters, already in Windows-1251
    std::size_t m_charCount = 0;
    std::size_t m_index = 0;
    bool m_end = false;
    std::size_t m_maxLineLength = kMaxLineLength;
    std::uint64_t m_lineNumber = 0;
};
