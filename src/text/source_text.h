// Turning text loaded from files in the code page the user chose into Windows-1251.
#pragma once

#include "platform/codepage.h"
#include "platform/exception.h"

#include <cstdint>

#include <string_view>

// The code page choices of the text wizard, by list index.
enum TSourceCodePage : int {
    kSourceWindows1251 = 0, // "Windows-1251": taken as it is
    kSourceUtf8 = 1,        // "UTF-8"
    kSourceOem866 = 2,      // "OEM 866"
};

// Text that does not decode in the chosen code page: the 1-based line where decoding stopped.
class ESourceDecodeError : public EUserError {
public:
    ESourceDecodeError(AnsiString message, std::int64_t line)
        : EUserError(std::move(message)), m_line(line) {}
    std::int64_t Line() const noexcept { return m_line; }

private:
    std::int64_t m_line;
};

// Converts `text` from the chosen code page into Windows-1251; an unknown choice leaves the text
// as it is. UTF-8 that is malformed (a bad or missing continuation byte) raises
// ESourceDecodeError naming its line, rather than losing the text. The UTF-8 reading knows one-,
// two- and three-byte sequences only, and a byte-order mark is kept as the character U+FEFF
// (which Windows-1251 lacks). Characters that Windows-1251 lacks become "?" and are counted in
// `replaced` when it is given.
AnsiString ConvertSourceText(std::string_view text, int codePageChoice,
                             std::int64_t* replaced = nullptr);
