#include "text/string_file.h"
#include "text/text_reader.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <vector>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::vector<AnsiString> Lines(TTextReader& reader) {
    std::vector<AnsiString> lines;
    while (!reader.End())
        lines.push_back(reader.ReadLine());
    return lines;
}

std::vector<AnsiString> Lines(const std::string& bytes, unsigned codePage,
                              std::size_t bufferSize = TTextReader::kDefaultBufferSize) {
    TTextReader reader(new TMemoryStream(bytes), codePage, true, bufferSize);
    return Lines(reader);
}

using L = std::vector<AnsiString>;

TEST(TextReaderTest, LineBreakRules) {
    struct Case {
        const char* name;
        std::string bytes;
        L lines;
    } cases[] = {
        {"CR LF", "A\r\nB", {"A", "B"}},
        {"final CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"CR CR", "A\r\rB", {"A", "", "B"}},
        {"LF CR", "A\n\rB", {"A", "B"}},
        {"LF LF", "A\n\nB", {"A", "", "B"}},
        {"LF only", "A\nB\n", {"A", "B"}},
        {"CR LF LF", "A\r\n\nB", {"A", "", "B"}},
        {"leading break", "\r\nA", {"", "A"}},
        {"empty", "", {}},
        {"only a break", "\r\n", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Lines(c.bytes, codepage::kAnsi), c.lines);
        // A tiny buffer puts every break across fills.
        EXPECT_EQ(Lines(c.bytes, codepage::kAnsi, 1), c.lines);
    }
}

TEST(TextReaderTest, EmptyInputEndsAtOnce) {
    TTextReader reader(new TMemoryStream(""), codepage::kUtf8, true);
    EXPECT_TRUE(reader.End());
    EXPECT_EQ(reader.Current(), '\0');
    EXPECT_EQ(reader.ReadLine(), "");
    reader.Next(); // harmless at the end
    EXPECT_TRUE(reader.End());
}

TEST(TextReaderTest, CharacterAccess) {
    TTextReader reader(new TMemoryStream("ab"), codepage::kAnsi, true, 1);
    EXPECT_EQ(reader.Current(), 'a');
    EXPECT_EQ(reader.Current(), 'a'); // does not advance
    EXPECT_EQ(reader.ReadChar(), 'a');
    EXPECT_EQ(reader.ReadChar(), 'b');
    EXPECT_TRUE(reader.End());
    EXPECT_EQ(reader.ReadChar(), '\0');
}

TEST(TextReaderTest, ByteOrderMarks) {
    EXPECT_EQ(Lines("\xEF\xBB\xBF"
                    "A",
                    codepage::kUtf8),
              L{"A"});
    EXPECT_EQ(Lines("\xEF\xBB\xBF"
                    "A",
                    codepage::kAnsi),
              L{"\xEF\xBB\xBF"
                "A"});
    // Too short for a mark: read from the start.
    EXPECT_EQ(Lines("AB", codepage::kUtf8), L{"AB"});

    TTextReader be(new TMemoryStream(std::string("\xFE\xFF\0A\x04\x1F", 6)), codepage::kUtf16LE,
                   true);
    EXPECT_EQ(be.CodePage(), codepage::kUtf16BE);
    EXPECT_EQ(Lines(be), L{"A\xCF"}); // U+041F is П
    TTextReader le(new TMemoryStream(std::string("\xFF\xFE"
                                                 "A\0\x1F\x04",
                                                 6)),
                   codepage::kUtf16BE, true);
    EXPECT_EQ(le.CodePage(), codepage::kUtf16LE);
    EXPECT_EQ(Lines(le), L{"A\xCF"});
    // No mark: the requested order, from the start; an odd last byte is dropped.
    EXPECT_EQ(Lines(std::string("A\0B\0C", 5), codepage::kUtf16LE), L{"AB"});
    // An odd buffer splits every other unit: the half is carried into the next fill.
    EXPECT_EQ(Lines(std::string("A\0B\0\r\0\n\0C\0", 10), codepage::kUtf16LE, 3), (L{"AB", "C"}));
}

TEST(TextReaderTest, ReadsFromTheStreamPosition) {
    auto* stream = new TMemoryStream("xx\xEF\xBB\xBFQ");
    stream->Seek(2);
    TTextReader reader(stream, codepage::kUtf8, true);
    EXPECT_EQ(reader.StartPosition(), 2u);
    EXPECT_EQ(Lines(reader), L{"Q"});
}

TEST(TextReaderTest, Utf8CharacterSplitAcrossBuffers) {
    // The 10240-byte buffer ends after the first byte of "П" (D0 9F).
    std::string bytes(10239, 'a');
    bytes += "\xD0\x9F"
             "b\r\n"
             "\xD0\xB0";
    auto lines = Lines(bytes, codepage::kUtf8);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(10239, 'a') + "\xCF"
                                                  "b");
    EXPECT_EQ(lines[1], "\xE0"); // а
    // The same across tiny buffers, and a three-byte character across every position.
    EXPECT_EQ(Lines("\xD0\x9F\xE2\x84\x96x", codepage::kUtf8, 3), L{"\xCF\xB9x"}); // П№x
    EXPECT_EQ(Lines("\xD0\x9F\xE2\x84\x96x", codepage::kUtf8, 4), L{"\xCF\xB9x"});
}

TEST(TextReaderTest, BuffersSmallerThanACharacterReadTheSame) {
    // A fill must hold a whole character: buffers of 1 to 3 bytes once ended the text at the
    // first character longer than the buffer.
    struct Case {
        const char* bytes;
        unsigned codePage;
        L lines;
    };
    const Case cases[] = {
        {"a\xF0\x9F\x98\x80z\r\nq", codepage::kUtf8, L{"a??z", "q"}},
        {"\xD0\x9F\xE2\x84\x96", codepage::kUtf8, L{"\xCF\xB9"}},
        {"\0A\0\n\0B", codepage::kUtf16BE, L{"A", "B"}},
        {"A\0\n\0B\0", codepage::kUtf16LE, L{"A", "B"}},
    };
    for (const Case& c : cases)
        for (std::size_t size = 1; size <= 5; ++size) {
            const std::string bytes(c.bytes, c.codePage == codepage::kUtf8
                                                 ? std::char_traits<char>::length(c.bytes)
                                                 : 6);
            EXPECT_EQ(Lines(bytes, c.codePage, size), c.lines) << c.bytes << " " << size;
        }
}

TEST(TextReaderTest, InvalidUtf8EndsTheText) {
    EXPECT_EQ(Lines("ab\r\ncd\xC3"
                    "Aef\r\ngh",
                    codepage::kUtf8),
              (L{"ab", "cd"}));
    EXPECT_EQ(Lines("ab\xC3"
                    "A",
                    codepage::kUtf8, 2),
              L{"ab"});
    // Overlong forms and encoded surrogates are not characters either.
    EXPECT_EQ(Lines("a\xC0\xAFz", codepage::kUtf8), L{"a"});
    EXPECT_EQ(Lines("a\xED\xA0\x80z", codepage::kUtf8), L{"a"});
    // An incomplete character at the end of the stream is dropped.
    EXPECT_EQ(Lines("ab\xE2\x84", codepage::kUtf8), L{"ab"});
}

TEST(TextReaderTest, CharactersOutsideWindows1251) {
    // é and a character outside the Basic Multilingual Plane (two UTF-16 units).
    EXPECT_EQ(Lines("\xC3\xA9|\xF0\x9F\x98\x80|", codepage::kUtf8), L{"?|??|"});
    // OEM 866: "Да" plus a box-drawing character that Windows-1251 lacks.
    EXPECT_EQ(Lines("\x84\xA0\xC4", codepage::kOem), L{"\xC4\xE0?"});
}

TEST(TextReaderTest, UnsupportedCodePageIsRefused) {
    EXPECT_THROW(TTextReader(new TMemoryStream("a"), 437, true), EUserError);
}

// A line over the limit is refused by its number (and its file), across buffer fills, before
// it is read whole; a line of exactly the limit is read.
TEST(TextReaderTest, LineLongerThanTheLimitIsRefused) {
    TTextReader reader(new TMemoryStream("12345678\r\nabc\r\n123456789\r\n"), codepage::kAnsi, true,
                       4);
    reader.SetMaxLineLength(8);
    EXPECT_EQ(reader.ReadLine(), "12345678");
    EXPECT_EQ(reader.ReadLine(), "abc");
    try {
        reader.ReadLine();
        FAIL() << "no exception";
    } catch (const ELineTooLong& e) {
        EXPECT_EQ(e.Message(), Ansi("Строка 3 длиннее 8 символов"));
    }

    TTempDir dir;
    const auto path = dir / "table.csv";
    {
        std::ofstream out(path, std::ios::binary);
        out << "x;y\r\n" << std::string(TTextReader::kMaxLineLength + 1, '7') << "\r\n";
    }
    TStringFile file(path);
    EXPECT_EQ(file.ReadLine(), "x;y");
    try {
        file.ReadLine();
        FAIL() << "no exception";
    } catch (const ELineTooLong& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл \"") + path.string() + Ansi("\": строка 2 длиннее ") +
                                   std::to_string(TTextReader::kMaxLineLength) + Ansi(" символов"));
    }
}

TEST(StringFileTest, ReadsLinesOfAFile) {
    TTempDir dir;
    const auto path = dir / "points.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "1 2 3\r\n\xCF\xF3\xED\xEA\xF2\r\n";
    }
    TStringFile file(path, codepage::kAnsi, 10240);
    EXPECT_EQ(file.ReadLine(), "1 2 3");
    EXPECT_FALSE(file.End());
    EXPECT_EQ(file.ReadLine(), "\xCF\xF3\xED\xEA\xF2"); // Пункт
    EXPECT_TRUE(file.End());
}

TEST(StringFileTest, MissingFileGivesTheOpenMessage) {
    TTempDir dir;
    const auto path = dir / "absent.pts";
    try {
        TStringFile file(path);
        FAIL() << "no exception";
    } catch (const EFileOpenError& e) {
        const AnsiString expected = "Cannot open file \"" + path.string() + "\". ";
        EXPECT_EQ(e.Message().substr(0, expected.size()), expected);
        EXPECT_GT(e.Message().size(), expected.size()); // the system's reason follows
    }
    EXPECT_THROW(TStringFile{dir.Path()}, EFileOpenError);
}

#ifndef _WIN32
// A pipe or a device is refused before anything waits on it: opening a pipe for reading would
// wait for a writer, and the wizards would hang.
TEST(StringFileTest, OnlyARegularFileIsOpenedAndNothingWaits) {
    TTempDir dir;
    const auto fifo = dir / "pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::filesystem::path path;
        const char* reason;
    } cases[] = {
        {fifo, "Not a regular file"},
        {"/dev/null", "Not a regular file"},
        {dir.Path(), "Is a directory"},
        {dir / "absent.txt", "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        EXPECT_FALSE(IsRegularFile(c.path));
        auto opening = std::async(std::launch::async, [&] {
            try {
                TStringFile file(c.path);
                return AnsiString("opened");
            } catch (const EFileOpenError& e) {
                return e.Message();
            }
        });
        if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // Let the blocked open go on so that the test ends.
            const int writer = ::open(c.path.c_str(), O_WRONLY);
            ADD_FAILURE() << "opening waited";
            opening.wait();
            ::close(writer);
            continue;
        }
        EXPECT_EQ(opening.get(), "Cannot open file \"" + c.path.string() + "\". " + c.reason);
    }
}
#endif

} // namespace
