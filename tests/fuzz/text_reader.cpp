// The decoding text reader in every code page, with tiny buffers so that characters are split
// across fills; and the conversion of loaded text from the wizard's code page choices.
#include "fuzz_support.h"

#include "text/source_text.h"
#include "text/text_reader.h"

#include <algorithm>
#include <vector>

namespace {
constexpr unsigned kCodePages[] = {codepage::kAnsi, codepage::kOem, codepage::kUtf8,
                                   codepage::kUtf16LE, codepage::kUtf16BE};

std::vector<AnsiString> Lines(std::string_view bytes, unsigned codePage, std::size_t bufferSize) {
    TTextReader reader(new TMemoryStream(std::string(bytes)), codePage, true, bufferSize);
    std::vector<AnsiString> lines;
    while (!reader.End())
        lines.push_back(reader.ReadLine());
    return lines;
}

AnsiString Characters(std::string_view bytes, unsigned codePage, std::size_t bufferSize) {
    TTextReader reader(new TMemoryStream(std::string(bytes)), codePage, true, bufferSize);
    AnsiString text;
    while (!reader.End())
        text += reader.ReadChar();
    FUZZ_CHECK(reader.Current() == '\0');
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    const unsigned codePage = kCodePages[input.TakeByte() % 5];
    const std::size_t tiny = 1 + input.TakeByte() % 9;
    const std::string_view bytes = input.Rest();

    // The characters do not depend on how the bytes were cut into fills, and no code page
    // makes more characters than bytes.
    const AnsiString whole = Characters(bytes, codePage, TTextReader::kDefaultBufferSize);
    FUZZ_CHECK(whole.size() <= bytes.size());
    FUZZ_CHECK(Characters(bytes, codePage, tiny) == whole);

    // Lines are the same whatever the buffer, and hold the characters less the line breaks.
    const auto lines = Lines(bytes, codePage, tiny);
    FUZZ_CHECK(lines == Lines(bytes, codePage, TTextReader::kDefaultBufferSize));
    std::size_t lineChars = 0;
    for (const auto& line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == AnsiString::npos);
        lineChars += line.size();
    }
    FUZZ_CHECK(lineChars <= whole.size());

    // Loaded text in the wizard's code page choices.
    for (int choice : {kSourceWindows1251, kSourceUtf8, kSourceOem866}) {
        try {
            std::int64_t replaced = 0;
            const AnsiString converted = ConvertSourceText(bytes, choice, &replaced);
            FUZZ_CHECK(converted.size() <= bytes.size());
            FUZZ_CHECK(replaced >= 0 && static_cast<std::size_t>(replaced) <= converted.size());
        } catch (const ESourceDecodeError& e) {
            // Only UTF-8 fails, at a line of the text.
            FUZZ_CHECK(choice == kSourceUtf8);
            FUZZ_CHECK(e.Line() >= 1 &&
                       e.Line() <= 1 + std::count(bytes.begin(), bytes.end(), '\n'));
        }
    }
    return 0;
}
