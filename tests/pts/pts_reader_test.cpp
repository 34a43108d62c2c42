// The PTS line format and the PTS reader.
#include "pts/pts_reader.h"
#include "support/temp_dir.h"
#include "text/byte_stream.h"
#include "text/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST(PtsLine, FieldsAndErrors) {
    struct Case {
        const char* line;
        const char* number;
        double x, y;
        const char* comment;
        const char* error; // nullptr: the line is a point
    } cases[] = {
        {"7,1,2", "7", 1, 2, "", nullptr},
        {"7,1,2,", "7", 1, 2, "", nullptr},
        {",1,2", "", 1, 2, "", nullptr},
        {"7, 1e3 ,-2.5E-1,a,b", "7", 1000, -0.25, "a,b", nullptr},
        {"7,1,5,2", "7", 1, 5, "2", nullptr},
        {"7,1,5,2,5", "7", 1, 5, "2,5", nullptr},
        {" 101 ,12.25,45.5 , marker, painted ", "101", 12.25, 45.5, "marker, painted", nullptr},
        {"7,1", nullptr, 0, 0, nullptr, "'' is not a valid floating point value"},
        {"7,1.5;2", nullptr, 0, 0, nullptr, "'1.5;2' is not a valid floating point value"},
        {"7,a,b", nullptr, 0, 0, nullptr, "'a' is not a valid floating point value"},
        {"7", nullptr, 0, 0, nullptr, "'' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        TNXYZPoint point;
        if (c.error) {
            try {
                ParsePtsLine(TrimControls(c.line), point);
                ADD_FAILURE() << "no error";
            } catch (const EUserError& e) {
                EXPECT_EQ(e.Message(), c.error);
            }
            continue;
        }
        ParsePtsLine(TrimControls(c.line), point);
        EXPECT_EQ(point.Number, c.number);
        EXPECT_DOUBLE_EQ(point.X, c.x);
        EXPECT_DOUBLE_EQ(point.Y, c.y);
        EXPECT_EQ(point.Comment, c.comment);
        EXPECT_FALSE(point.Z);
    }
}

TEST(InputPtsFile, SkipsBlankLinesAndStopsAtAnInvalidOne) {
    TTempDir dir;
    const auto path = dir / "a.pts";
    WriteFile(path, "\r\n  \t\r\n1,10,20,first\r\n\r\n2,11,21\r\n3,x,1\r\n4,1,1\r\n");
    TInputPtsFile file(path);
    TNXYZPoint point;
    ASSERT_TRUE(file.ReadPoint(point));
    EXPECT_EQ(point.Number, "1");
    EXPECT_EQ(point.Comment, "first");
    EXPECT_EQ(point.Line, 3);
    ASSERT_TRUE(file.ReadPoint(point));
    EXPECT_EQ(point.Number, "2");
    EXPECT_EQ(point.Comment, "");
    EXPECT_DOUBLE_EQ(point.X, 11);
    EXPECT_DOUBLE_EQ(point.Y, 21);
    try {
        (void)file.ReadPoint(point);
        FAIL() << "no error";
    } catch (const EPointFileError& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл a.pts, строка 6: значение \"x\" не является числом"));
    }
}

TEST(InputPtsFile, CyrillicTextStaysWindows1251AndBlankFilesGiveNothing) {
    TTempDir dir;
    WriteFile(dir / "ru.pts", Ansi("Т1,1,2,репер") + "\n");
    TInputPtsFile ru(dir / "ru.pts");
    TNXYZPoint point;
    ASSERT_TRUE(ru.ReadPoint(point));
    EXPECT_EQ(point.Number, Ansi("Т1"));
    EXPECT_EQ(point.Comment, Ansi("репер"));
    EXPECT_FALSE(ru.ReadPoint(point));

    WriteFile(dir / "blank.pts", "\n \n\t\n");
    TInputPtsFile blank(dir / "blank.pts");
    EXPECT_FALSE(blank.ReadPoint(point));
}

TEST(InputPtsFile, MissingFileFailsWithTheOpenError) {
    TTempDir dir;
    try {
        TInputPtsFile file(dir / "none.pts");
        FAIL() << "opened";
    } catch (const EFileOpenError& e) {
        EXPECT_NE(e.Message().find("Cannot open file"), std::string::npos);
    }
}

} // namespace
