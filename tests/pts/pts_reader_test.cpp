// The PTS line format, the invariant number form, the PTS reader and the extent.
#include "pts/float_text.h"
#include "pts/import_extent.h"
#include "pts/xyz_number_input.h"
#include "support/temp_dir.h"
#include "text/byte_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

TEST(InvariantNumber, AcceptsOnlyTheInvariantForm) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"12.25", true, 12.25}, {" 1e3 ", true, 1000}, {"-2.5E-1", true, -0.25},
        {"+7", true, 7},        {".5", true, 0.5},     {"5.", true, 5},
        {"", false, 0},         {"  ", false, 0},      {"1,5", false, 0},
        {"1.5;2", false, 0},    {"1e", false, 0},      {"- 1", false, 0},
        {"inf", false, 0},      {"nan", false, 0},     {"0x1A", false, 0},
        {"1.2.3", false, 0},    {"\t1", false, 0},     {"1e999", false, 0},
        {"1 000", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -1;
        EXPECT_EQ(TryInvariantTextToFloat(c.text, value), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value);
        }
    }
}

TEST(InvariantNumber, ErrorNamesTheText) {
    try {
        (void)InvariantTextToFloat("1.5;2");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1.5;2' is not a valid floating point value");
    }
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
        AnsiString number = "old", comment = "old";
        double x = -1, y = -1;
        if (c.error) {
            try {
                ParsePtsLine(TrimControls(c.line), number, comment, x, y);
                ADD_FAILURE() << "no error";
            } catch (const EUserError& e) {
                EXPECT_EQ(e.Message(), c.error);
            }
            continue;
        }
        ParsePtsLine(TrimControls(c.line), number, comment, x, y);
        EXPECT_EQ(number, c.number);
        EXPECT_DOUBLE_EQ(x, c.x);
        EXPECT_DOUBLE_EQ(y, c.y);
        EXPECT_EQ(comment, c.comment);
    }
}

TEST(InputPtsFile, SkipsBlankLinesAndStopsAtAnInvalidOne) {
    TTempDir dir;
    const auto path = dir / "a.pts";
    WriteFile(path, "\r\n  \t\r\n1,10,20,first\r\n\r\n2,11,21\r\n3,x,1\r\n4,1,1\r\n");
    TInputPtsFile file(path);
    AnsiString number, comment;
    double x = 0, y = 0;
    ASSERT_TRUE(file.ReadPoint(number, comment, x, y));
    EXPECT_EQ(number, "1");
    EXPECT_EQ(comment, "first");
    ASSERT_TRUE(file.ReadPoint(number, comment, x, y));
    EXPECT_EQ(number, "2");
    EXPECT_EQ(comment, "");
    EXPECT_DOUBLE_EQ(x, 11);
    EXPECT_DOUBLE_EQ(y, 21);
    EXPECT_THROW((void)file.ReadPoint(number, comment, x, y), EUserError);
}

TEST(InputPtsFile, CyrillicTextStaysWindows1251AndBlankFilesGiveNothing) {
    TTempDir dir;
    WriteFile(dir / "ru.pts", Ansi("Т1,1,2,репер") + "\n");
    TInputPtsFile ru(dir / "ru.pts");
    AnsiString number, comment;
    double x = 0, y = 0;
    ASSERT_TRUE(ru.ReadPoint(number, comment, x, y));
    EXPECT_EQ(number, Ansi("Т1"));
    EXPECT_EQ(comment, Ansi("репер"));
    EXPECT_FALSE(ru.ReadPoint(number, comment, x, y));

    WriteFile(dir / "blank.pts", "\n \n\t\n");
    TInputPtsFile blank(dir / "blank.pts");
    EXPECT_FALSE(blank.ReadPoint(number, comment, x, y));
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

TEST(ImportExtent, ExtendMergeAndSize) {
    TImportExtent e;
    EXPECT_TRUE(e.IsEmpty());
    EXPECT_EQ(e.Width(), 0);
    EXPECT_FALSE(e.HasArea());
    e.Extend({5, 6});
    EXPECT_FALSE(e.IsEmpty());
    EXPECT_FALSE(e.HasArea()); // one point: no width, no height
    e.Extend({1, 9});
    e.Extend({3, -2});
    EXPECT_EQ(e.MinX, 1);
    EXPECT_EQ(e.MaxX, 5);
    EXPECT_EQ(e.MinY, -2);
    EXPECT_EQ(e.MaxY, 9);
    EXPECT_EQ(e.Width(), 4);
    EXPECT_EQ(e.Height(), 11);

    TImportExtent empty, copy;
    e.Merge(empty);
    EXPECT_EQ(e.Width(), 4);
    copy.Merge(e);
    EXPECT_EQ(copy.MinX, 1);
    EXPECT_EQ(copy.MaxY, 9);
    TImportExtent far;
    far.Extend({100, -50});
    copy.Merge(far);
    EXPECT_EQ(copy.MaxX, 100);
    EXPECT_EQ(copy.MinY, -50);
    EXPECT_EQ(copy.MinX, 1);
    EXPECT_EQ(copy.MaxY, 9);

    TImportExtent partly;
    partly.MinX = 0;
    EXPECT_TRUE(partly.IsEmpty()); // any NaN makes it empty
}

} // namespace
