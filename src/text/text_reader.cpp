#include "text_reader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

inline char WideToAnsiChar(char16_t c) {
    unsigned char b;
    return WideCharToAnsi(c, b) ? static_cast<char>(b) : codepage::kReplacement;
}

// Length of the longest prefix of `in` that is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF); its characters go to `out` as Windows-1251 bytes, a
// character outside the Basic Multilingual Plane as two replacement characters (its two UTF-16
// units). A sequence cut off at the end is not part of the prefix.
std::size_t DecodeUtf8(const unsigned char* in, std::size_t n, char* out, std::size_t& count) {
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < n) {
        const unsigned char b0 = in[i];
        if (b0 < 0x80) {
            out[o++] = static_cast<char>(b0);
            ++i;
            continue;
        }
        std::size_t len;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the first continuation byte
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            if (b0 == 0xE0)
                lo = 0xA0;
            else if (b0 == 0xED)
                hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            if (b0 == 0xF0)
                lo = 0x90;
            else if (b0 == 0xF4)
                hi = 0x8F;
        } else {
            break;
        }
        if (i + len > n)
            break;
        const unsigned char b1 = in[i + 1];
        if (b1 < lo || b1 > hi)
            break;
        bool ok = true;
        for (std::size_t k = 2; k < len; ++k)
            ok = ok && (in[i + k] & 0xC0) == 0x80;
        if (!ok)
            break;
        if (len == 2) {
            out[o++] = WideToAnsiChar(static_cast<char16_t>(((b0 & 0x1F) << 6) | (b1 & 0x3F)));
        } else if (len == 3) {
            out[o++] = WideToAnsiChar(static_cast<char16_t>(
                ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (in[i + 2] & 0x3F)));
        } else {
            out[o++] = codepage::kReplacement; // high surrogate
            out[o++] = codepage::kReplacement; // low surrogate
        }
        i += len;
    }
    count = o;
    return i;
}

} // namespace

TTextReader::TTextReader(TByteStream* stream, unsigned codePage, bool ownsStream,
                         std::size_t bufferSize)
    : m_stream(stream), m_ownsStream(ownsStream), m_codePage(codePage),
      m_bufferSize(std::max(bufferSize, kLongestCharacter)) {
    // Until the constructor succeeds the destructor does not run: own the stream here.
    std::unique_ptr<TByteStream> guard(ownsStream ? stream : nullptr);
    if (!stream)
        throw EUserError("No stream to read");
    if (bufferSize == 0)
        throw EUserError("The read buffer of a text reader must not be empty");
    switch (codePage) {
    case codepage::kAnsi:
    case codepage::kOem:
        m_decoder = TDecoder::SingleByte;
        m_identity = true;
        for (unsigned b = 0; b < 256; ++b) {
            const char16_t w = codePage == codepage::kAnsi
                                   ? AnsiCharToWide(static_cast<unsigned char>(b))
                                   : OemCharToWide(static_cast<unsigned char>(b));
            m_table[b] = static_cast<unsigned char>(WideToAnsiChar(w));
            m_identity = m_identity && m_table[b] == b;
        }
        break;
    case codepage::kUtf8:
        m_decoder = TDecoder::Utf8;
        break;
    case codepage::kUtf16LE:
        m_decoder = TDecoder::Utf16LE;
        break;
    case codepage::kUtf16BE:
        m_decoder = TDecoder::Utf16BE;
        break;
    default:
        throw EUserError("System Error.  Code: 87.\r\nThe parameter is incorrect (code page " +
                         std::to_string(codePage) + ").");
    }
    m_bytes = std::make_unique<unsigned char[]>(m_bufferSize);
    // No code page makes more characters than bytes.
    m_chars = std::make_unique<char[]>(m_bufferSize);
    m_startPosition = stream->Position();
    DetectByteOrderMark();
    Fill();
    guard.release();
}

TTextReader::~TTextReader() {
    if (m_ownsStream)
        delete m_stream;
}

void TTextReader::DetectByteOrderMark() {
    const auto holds = [this](std::uint64_t n) { return m_startPosition + n <= m_stream->Size(); };
    unsigned char mark[3];
    if (m_codePage == codepage::kUtf8) {
        if (!holds(3))
            return;
        const std::size_t got = m_stream->Read(mark, 3);
        if (got == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF)
            return;
        m_stream->Seek(m_startPosition);
    } else if (m_codePage == codepage::kUtf16LE || m_codePage == codepage::kUtf16BE) {
        if (!holds(2))
            return;
        const std::size_t got = m_stream->Read(mark, 2);
        if (got == 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
            m_codePage = codepage::kUtf16LE;
            m_decoder = TDecoder::Utf16LE;
            return;
        }
        if (got == 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
            m_codePage = codepage::kUtf16BE;
            m_decoder = TDecoder::Utf16BE;
            return;
        }
        m_stream->Seek(m_startPosition);
    }
}

void TTextReader::Fill() {
    // Carry the undecoded tail (a character split by the previous fill) to the front.
    const std::size_t tail = m_validBytes - m_decodedBytes;
    if (tail > 0 && m_decodedBytes > 0)
        std::memmove(m_bytes.get(), m_bytes.get() + m_decodedBytes, tail);
    const std::size_t got = m_stream->Read(m_bytes.get() + tail, m_bufferSize - tail);
    m_validBytes = tail + got;
    m_decodedBytes = 0;
    m_index = 0;
    m_charCount = 0;
    if (got == 0) {
        // A tail left at the end of the stream is an incomplete character: dropped.
        m_end = true;
        return;
    }
    m_decodedBytes = Decode();
    if (m_decodedBytes == 0 || m_charCount == 0)
        m_end = true; // undecodable bytes end the text
}

std::size_t TTextReader::Decode() {
    const unsigned char* in = m_bytes.get();
    char* out = m_chars.get();
    const std::size_t n = m_validBytes;
    switch (m_decoder) {
    case TDecoder::SingleByte:
        if (m_identity) {
            std::memcpy(out, in, n);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                out[i] = static_cast<char>(m_table[in[i]]);
        }
        m_charCount = n;
        return n;
    case TDecoder::Utf8:
        return DecodeUtf8(in, n, out, m_charCount);
    case TDecoder::Utf16LE:
    case TDecoder::Utf16BE: {
        const std::size_t units = n / 2;
        const bool le = m_decoder == TDecoder::Utf16LE;
        for (std::size_t i = 0; i < units; ++i) {
            const unsigned a = in[2 * i], b = in[2 * i + 1];
            out[i] = WideToAnsiChar(static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b)));
        }
        m_charCount = units;
        return units * 2;
    }
    }
    return 0;
}

void TTextReader::ReadLine(AnsiString& line) {
    line.clear();
    ++m_lineNumber;
    while (!m_end) {
        const char* begin = m_chars.get() + m_index;
        const char* end = m_chars.get() + m_charCount;
        const char* stop = std::find_if(begin, end, [](char c) { return c == kCr || c == kLf; });
        if (line.size() + static_cast<std::size_t>(stop - begin) > m_maxLineLength) {
            line.clear();
            const AnsiString name = m_stream->Name();
            const AnsiString text = Ansi("строка ") + std::to_string(m_lineNumber) +
                                    Ansi(" длиннее ") + std::to_string(m_maxLineLength) +
                                    Ansi(" символов");
            const AnsiString message =
                name.empty() ? Ansi("С") + text.substr(1) : Ansi("Файл \"") + name + "\": " + text;
            throw ELineTooLong(message);
        }
        line.append(begin, stop);
        if (stop != end) {
            m_index = static_cast<std::size_t>(stop - m_chars.get());
            break;
        }
        m_index = m_charCount;
        Fill();
    }
    if (m_end)
        return;
    const char first = ReadChar();
    const char second = Current();
    if ((second == kCr || second == kLf) && second != first)
        Next();
}

AnsiString TTextReader::ReadLine() {
    AnsiString line;
    ReadLine(line);
    return line;
}
