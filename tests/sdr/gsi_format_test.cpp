// The GSI reader: GSI-8 and GSI-16 blocks into point records, the blocks that hold no point and
// the malformed ones, and the sample file.
#include "sdr/gsi_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using SDRReader::TGsiFormat;
using TKind = TLineOutcome::TKind;

namespace {

// A word as instruments write it: the index, information and sign (7 characters), the data
// right-aligned and filled with zeros to its width, and the blank after it.
std::string Word(std::string_view head, std::string_view data, std::size_t width) {
    return std::string(head) + std::string(width - data.size(), '0') + std::string(data) + " ";
}
std::string W8(std::string_view head, std::string_view data) {
    return Word(head, data, 8);
}
std::string W16(std::string_view head, std::string_view data) {
    return Word(head, data, 16);
}

struct TExpected {
    TKind kind;
    std::string number;
    double x = 0;
    double y = 0;
    std::optional<double> z;
};

TExpected Point(std::string number, double x, double y, std::optional<double> z) {
    return {TKind::Point, std::move(number), x, y, z};
}
const TExpected kNoPoint{TKind::NoPoint, "", 0, 0, std::nullopt};
const TExpected kMalformed{TKind::Skipped, "", 0, 0, std::nullopt};

void ExpectOutcome(const std::string& line, const TExpected& expected) {
    TGsiFormat format;
    TNXYZPoint point;
    const TLineOutcome outcome = format.ReadLine(line, point);
    ASSERT_EQ(outcome.Kind, expected.kind);
    if (outcome.Kind == TKind::Skipped) {
        EXPECT_EQ(outcome.Reason, TSkipReason::Malformed);
    }
    if (outcome.Kind != TKind::Point)
        return;
    EXPECT_EQ(point.Number, expected.number);
    // Each value is one correctly rounded division or product of the word's digits, so it
    // equals the decimal worked out by hand to within 4 ulp.
    EXPECT_DOUBLE_EQ(point.X, expected.x);
    EXPECT_DOUBLE_EQ(point.Y, expected.y);
    ASSERT_EQ(point.Z.has_value(), expected.z.has_value());
    if (expected.z) {
        EXPECT_DOUBLE_EQ(*point.Z, *expected.z);
    }
}

struct TCase {
    const char* name;
    std::string line;
    TExpected expected;
};

TEST(GsiFormat, PointBlocks) {
    // Expected values are the word's digits read by hand: unit 0 mm, 6 1/10 mm, 8 1/100 mm,
    // 1 1/1000 ft and 7 1/10000 ft, a foot being 0.3048 m.
    const TCase cases[] = {
        {"GSI-8 in mm, a number with letters",
         "110001+00000A12 81..00+00012345 82..00+00067890 83..00+00001500 ",
         Point("A12", 12.345, 67.89, 1.5)},
        {"GSI-16 in mm, UTM coordinates",
         "*110001+0000000000001001 81..00+0000000493191460 82..00+0000006289308380 "
         "83..00+0000000000151234 ",
         Point("1001", 493191.46, 6289308.38, 151.234)},
        {"GSI-8 in 1/10 and 1/100 mm",
         W8("110002+", "7") + W8("81..06+", "12345678") + W8("82..08+", "12345678") +
             W8("83..06+", "1502"),
         Point("7", 1234.5678, 123.45678, 0.1502)},
        // 12.345 ft * 0.3048 = 3.762756 m; 12.3456 ft * 0.3048 = 3.76293888 m;
        // 100 ft = 30.48 m.
        {"GSI-8 in 1/1000 and 1/10000 ft",
         W8("110003+", "8") + W8("81..01+", "12345") + W8("82..07+", "123456") +
             W8("83..01+", "100000"),
         Point("8", 3.762756, 3.76293888, 30.48)},
        // 1640.420 ft * 0.3048 = 500.000016 m; 20000.0000 ft * 0.3048 = 6096 m.
        {"GSI-16 in 1/1000 and 1/10000 ft",
         "*" + W16("110004+", "9") + W16("81..01+", "1640420") + W16("82..07+", "200000000"),
         Point("9", 500.000016, 6096, std::nullopt)},
        {"negative values",
         W8("110005+", "10") + W8("81..00-", "1234") + W8("82..08-", "50") + W8("83..00-", "2500"),
         Point("10", -1.234, -0.0005, -2.5)},
        {"the full GSI-16 width",
         "*" + W16("110006+", "PK12") + W16("81..08+", "9999999999999999") + W16("82..00+", "1"),
         Point("PK12", 99999999999.99999, 0.001, std::nullopt)},
        {"a number of only zeros",
         W8("110007+", "00000000") + W8("81..00+", "1") + W8("82..00+", "2"),
         Point("0", 0.001, 0.002, std::nullopt)},
        {"zeros inside and at the end of a number are kept",
         W8("110008+", "1020300") + W8("81..00+", "0") + W8("82..00-", "0"),
         Point("1020300", 0, 0, std::nullopt)},
        {"observations, a code and the reflector height beside the coordinates",
         W8("110009+", "401") + W8("21.324+", "26893802") + W8("22.324+", "9949030") +
             W8("31..00+", "72694") + W8("41....+", "DITCH") + W8("81..00+", "83996") +
             W8("82..00+", "67277") + W8("83..00+", "50950") + W8("87..10+", "1800"),
         Point("401", 83.996, 67.277, 50.95)},
        {"words in another order",
         W8("83..00+", "3") + W8("82..00+", "2") + W8("110010+", "5") + W8("81..00+", "1"),
         Point("5", 0.001, 0.002, 0.003)},
        // Line ends and blanks around the words.
        {"CR LF left on the line",
         W8("110011+", "1") + W8("81..00+", "1") + W8("82..00+", "2") + "\r\n",
         Point("1", 0.001, 0.002, std::nullopt)},
        {"no blank after the last word", "110012+00000001 81..00+00000001 82..00+00000002",
         Point("1", 0.001, 0.002, std::nullopt)},
        {"blanks and a tab after the last word",
         "*110013+0000000000000001 81..00+0000000000000001 82..00+0000000000000002    \t ",
         Point("1", 0.001, 0.002, std::nullopt)},
        {"the end-of-file character of an old transfer",
         "110014+00000001 81..00+00000001 82..00+00000002 \x1a",
         Point("1", 0.001, 0.002, std::nullopt)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOutcome(c.line, c.expected);
    }
}

TEST(GsiFormat, BlocksWithoutAPoint) {
    const TCase cases[] = {
        {"empty line", "", kNoPoint},
        {"blanks", "   \t", kNoPoint},
        {"a line end alone", "\r", kNoPoint},
        {"a GSI-16 mark alone", "*", kNoPoint},
        {"polar observation only",
         "110002+00000002 21.324+12345670 22.324+09000000 31..00+00012345 ", kNoPoint},
        {"station",
         "*" + W16("110001+", "1004") + W16("84..00+", "493248205") + W16("85..00+", "6289401354") +
             W16("86..00+", "150618") + W16("88..00+", "1550"),
         kNoPoint},
        {"code", "*410003+00000000000DITCH ", kNoPoint},
        {"a levelled height without a position", W8("110003+", "5") + W8("83..06+", "1502"),
         kNoPoint},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOutcome(c.line, c.expected);
    }
}

TEST(GsiFormat, MalformedBlocks) {
    const std::string good8 = "110001+00000001 81..00+00000001 82..00+00000002 ";
    const TCase cases[] = {
        {"the last word cut short", "110001+00000001 81..00+00000001 82..00+000002", kMalformed},
        {"a word cut short in the middle", "110001+00000001 81..00+0001 82..00+00000002 ",
         kMalformed},
        {"a word one character too long", "110001+00000001 81..00+000000001 82..00+00000002 ",
         kMalformed},
        {"two blanks between words", "110001+00000001  81..00+00000001 82..00+00000002 ",
         kMalformed},
        {"a blank before the first word", " " + good8, kMalformed},
        {"GSI-8 words on a GSI-16 line", "*" + good8, kMalformed},
        {"GSI-16 words without the mark",
         "110001+0000000000000001 81..00+0000000000000001 82..00+0000000000000002 ", kMalformed},
        {"a letter in a coordinate", "110001+00000001 81..00+000O0001 82..00+00000002 ",
         kMalformed},
        {"a blank in a coordinate", "110001+00000001 81..00+ 0000001 82..00+00000002 ", kMalformed},
        {"a decimal point in a height", good8 + "83..00+0001.500 ", kMalformed},
        {"an angle unit on a coordinate", "110001+00000001 81..02+00000001 82..00+00000002 ",
         kMalformed},
        {"no unit on a coordinate", "110001+00000001 81....+00000001 82..00+00000002 ", kMalformed},
        {"an unknown unit on a height", good8 + "83..09+00001500 ", kMalformed},
        {"a sign other than + and -", "110001+00000001 81..00 00000001 82..00+00000002 ",
         kMalformed},
        {"an index that is not two digits", "110001+00000001 8A..00+00000001 82..00+00000002 ",
         kMalformed},
        {"a blank point number", "110001+         81..00+00000001 82..00+00000002 ", kMalformed},
        {"an easting without a northing", "110001+00000001 81..00+00000001 83..00+00000002 ",
         kMalformed},
        {"a northing without an easting", "110001+00000001 82..00+00000001 ", kMalformed},
        {"coordinates without a point number", "81..00+00000001 82..00+00000002 ", kMalformed},
        {"a cut word in a block of observations", "110002+00000002 21.324+12345670 22.324+0900",
         kMalformed},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectOutcome(c.line, c.expected);
    }
}

// The pipeline hands the same record to every line: a block leaves nothing of the one before.
TEST(GsiFormat, NothingCarriesOverFromThePreviousPoint) {
    TGsiFormat format;
    TNXYZPoint point;
    point.Comment = "old";
    point.Computed = true;
    ASSERT_EQ(
        format.ReadLine("110001+000000AB 81..00+00000001 82..00+00000002 83..00+00000003 ", point)
            .Kind,
        TKind::Point);
    EXPECT_EQ(point.Number, "AB");
    EXPECT_TRUE(point.Comment.empty());
    EXPECT_FALSE(point.Computed);
    ASSERT_EQ(format.ReadLine("110002+00000007 81..00+00000004 82..00+00000005 ", point).Kind,
              TKind::Point);
    EXPECT_EQ(point.Number, "7");
    EXPECT_DOUBLE_EQ(point.X, 0.004);
    EXPECT_FALSE(point.Z.has_value());
}

// The sample of samples/: station 1004, a backsight, a code and ditch points 401-410, GSI-16 in
// UTM 37N metres with CR LF line ends.
TEST(GsiFormat, SampleFile) {
    std::ifstream in(std::filesystem::path(TI_SOURCE_DIR) / "samples" / "survey4.gsi",
                     std::ios::binary);
    ASSERT_TRUE(in);
    TGsiFormat format;
    TNXYZPoint point;
    std::vector<TNXYZPoint> points;
    int noPoint = 0;
    int skipped = 0;
    std::string line;
    while (std::getline(in, line)) {
        switch (format.ReadLine(line, point).Kind) {
        case TKind::Point:
            points.push_back(point);
            break;
        case TKind::NoPoint:
            ++noPoint;
            break;
        case TKind::Skipped:
            ++skipped;
            break;
        }
    }
    EXPECT_EQ(noPoint, 3);
    EXPECT_EQ(skipped, 0);
    ASSERT_EQ(points.size(), 10u);
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].Number, std::to_string(401 + i));
        // Behind the garden plots of the other survey samples.
        EXPECT_GT(points[i].X, 493180.0);
        EXPECT_LT(points[i].X, 493330.0);
        EXPECT_GT(points[i].Y, 6289360.0);
        EXPECT_LT(points[i].Y, 6289420.0);
        EXPECT_TRUE(points[i].Z.has_value());
    }
    // The words of point 401: 81..00+0000000493183996, 82..00+0000006289367277,
    // 83..00+0000000000150950, in mm.
    EXPECT_DOUBLE_EQ(points[0].X, 493183.996);
    EXPECT_DOUBLE_EQ(points[0].Y, 6289367.277);
    EXPECT_DOUBLE_EQ(*points[0].Z, 150.95);
}

} // namespace
