// Files whose names hold Cyrillic letters and spaces open through every reader of the module,
// whatever the system's ANSI code page (Wine's and Windows' narrow file functions would not
// find them).
#include "platform/codepage.h"
#include "pts/pts_reader.h"
#include "sdr/survey_readers.h"
#include "support/temp_dir.h"
#include "text/byte_stream.h"
#include "text/string_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(out) << "cannot create the fixture";
    out << bytes;
}

std::filesystem::path Named(const TTempDir& dir, const char8_t* name) {
    return dir.Path() / std::filesystem::path(name);
}

} // namespace

TEST(WideFileName, EveryReaderOpensACyrillicNameWithASpace) {
    TTempDir dir;
    const auto folder = Named(dir, u8"Съёмка участка");
    std::filesystem::create_directories(folder);

    const auto text = folder / std::filesystem::path(u8"точки 1251.txt");
    WriteFile(text, Ansi("Пункт;1;2\r\nВторой;3;4\r\n"));
    TStringFile lines(text, codepage::kAnsi);
    EXPECT_EQ(lines.ReadLine(), Ansi("Пункт;1;2"));
    EXPECT_EQ(lines.ReadLine(), Ansi("Второй;3;4"));

    const auto utf8 = folder / std::filesystem::path(u8"точки utf8.csv");
    WriteFile(utf8, "\xEF\xBB\xBF" + std::string(reinterpret_cast<const char*>(u8"Ёж 5"), 6));
    TStringFile utf8Lines(utf8, codepage::kUtf8);
    EXPECT_EQ(utf8Lines.ReadLine(), Ansi("Ёж 5"));

    const auto pts = folder / std::filesystem::path(u8"опорные пункты.pts");
    WriteFile(pts, Ansi("Рп 7, 100.5, 200.25, репер\r\n"));
    TInputPtsFile ptsFile(pts);
    TNXYZPoint point;
    ASSERT_TRUE(ptsFile.ReadPoint(point));
    EXPECT_EQ(point.Number, Ansi("Рп 7"));
    EXPECT_DOUBLE_EQ(point.X, 100.5);
    EXPECT_DOUBLE_EQ(point.Y, 200.25);
    EXPECT_EQ(point.Comment, Ansi("репер"));

    const auto sdr = folder / std::filesystem::path(u8"ход тахеометра.sdr");
    WriteFile(sdr, "08KI" + std::string("T1              ") + "          1234.5" +
                       "          -77.25" + "          12.125" + "\r\n");
    auto reader = SDRReader::ReaderForFile(sdr);
    ASSERT_TRUE(reader);
    ASSERT_TRUE(reader->ReadPoint(point));
    EXPECT_EQ(point.Number, "T1");
    EXPECT_EQ(point.Z, 12.125);
}

TEST(WideFileName, AMissingFileIsNamedInTheMessage) {
    TTempDir dir;
    const auto missing = Named(dir, u8"нет такого файла.pts");
    try {
        TStringFile lines(missing);
        FAIL() << "a missing file opened";
    } catch (const EFileOpenError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(Ansi("нет такого файла.pts")), std::string::npos) << message;
    }
}
