// SDR field positions, the definition builder, and the SDR and RPT file readers.
#include "sdr/sdr_parser.h"
#include "sdr/survey_readers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace SDRReader;

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string Field16(const std::string& s) {
    std::string f = s;
    f.resize(16, ' ');
    return f;
}

// A field right-justified in its 16 characters, as instruments write numbers and ids.
std::string Right16(const std::string& s) {
    return std::string(16 - s.size(), ' ') + s;
}

// A coordinate record: code, two unread characters, then the four 16-character fields.
std::string Record08(const std::string& number, const std::string& x, const std::string& y,
                     const std::string& z) {
    return "08KI" + Field16(number) + Field16(x) + Field16(y) + Field16(z);
}

TEST(SdrParser, FieldPositions) {
    const std::string full = Record08("PT-1", "1234.5", "-77.25", "12.125");
    ASSERT_EQ(full.size(), 68u);
    struct Case {
        std::string name;
        std::string line;
        bool accepted;
        const char* number;
        double x, y, z;
    } cases[] = {
        {"68 characters", full, true, "PT-1", 1234.5, -77.25, 12.125},
        {"trailing fields beyond 68 are not read", full + "garbage,1", true, "PT-1", 1234.5, -77.25,
         12.125},
        {"cut after position 60", full.substr(0, 60), true, "PT-1", 1234.5, -77.25, 12.125},
        {"cut after 56 keeps a shorter height", Record08("1", "1", "2", "123456789").substr(0, 56),
         true, "1", 1, 2, 1234},
        {"ends before the height", full.substr(0, 52), false, "", 0, 0, 0},
        {"shifted code with a blank", " " + full, false, "", 0, 0, 0},
        {"code 8 and a blank", "8 " + full.substr(2), false, "", 0, 0, 0},
        {"other record", "02" + full.substr(2), false, "", 0, 0, 0},
        {"decimal comma", Record08("2", "1234,56", "  7,5 ", "0"), true, "2", 1234.56, 7.5, 0},
        {"thousands separator", Record08("2", "1,234.5", "1", "1"), false, "", 0, 0, 0},
        {"blank number field", Record08("", "1", "2", "3"), true, "", 1, 2, 3},
        {"blank coordinate", Record08("3", "", "2", "3"), false, "", 0, 0, 0},
        {"blank between sign and digits", Record08("3", "- 5", "2", "3"), false, "", 0, 0, 0},
        {"blanks around a number", Record08("3", "  -5  ", "2", "3"), true, "3", -5, 2, 3},
        {"number with exponent", Record08("4", "1.5E2", "2e-1", "+3"), true, "4", 150, 0.2, 3},
        {"too short for a code", "0", false, "", 0, 0, 0},
        // Fields as instruments write them: nothing separates one field from the next.
        {"id 7 at position 20 runs into X -1.250",
         "08KI" + Right16("7") + Field16("-1.250") + Right16("2.5") + Right16("3"), true, "7",
         -1.25, 2.5, 3},
        {"two-digit id touching its X",
         "08KI" + Right16("12") + Field16("5432.100") + Field16("-0.5") + Field16("101.25"), true,
         "12", 5432.1, -0.5, 101.25},
        {"negative numbers filling their whole fields",
         Record08("9", "-1234567.8901234", "-7654321.1234567", "-12345.678901234"), true, "9",
         -1234567.8901234, -7654321.1234567, -12345.678901234},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSdrParser parser;
        ASSERT_EQ(parser.ParseLine(c.line), c.accepted);
        if (!c.accepted)
            continue;
        EXPECT_EQ(parser.Number(), c.number);
        EXPECT_DOUBLE_EQ(parser.X(), c.x);
        EXPECT_DOUBLE_EQ(parser.Y(), c.y);
        EXPECT_DOUBLE_EQ(parser.Z(), c.z);
    }
}

TEST(SdrParser, RejectedLineKeepsThePreviousPoint) {
    TSdrParser parser;
    ASSERT_TRUE(parser.ParseLine(Record08("A", "1", "2", "3")));
    EXPECT_FALSE(parser.ParseLine(Record08("B", "x", "2", "3")));
    EXPECT_EQ(parser.Number(), "A");
    EXPECT_EQ(parser.X(), 1);
    EXPECT_EQ(parser.ValueCount(), 4u); // every field is parsed even after one failed
    EXPECT_THROW((void)parser.Value(4), std::out_of_range);
}

TEST(SdrParser, HexadecimalFieldRaisesTheConversionError) {
    for (const char* hex : {"$1A", "0x1A", "X1f"}) {
        SCOPED_TRACE(hex);
        TSdrParser parser;
        try {
            (void)parser.ParseLine(Record08("1", hex, "2", "3"));
            ADD_FAILURE() << "no error";
        } catch (const EUserError& e) {
            EXPECT_EQ(e.Message(),
                      "'" + std::string(hex) + "' is not a valid floating point value");
        }
    }
}

TEST(SubStringDefinitions, RunningPositionAndInvalidLength) {
    TSubStringInfoList list;
    AddSubStringDefinitions(list, 3,
                            {{kFieldText, 0, 4}, {kFieldNumber, 20, 2}, {kFieldText, -1, 5}});
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Items(0).Start(), 3);
    EXPECT_EQ(list.Items(1).Start(), 20);
    EXPECT_EQ(list.Items(2).Start(), 9); // 3 + 4 + 2: the running position ignores explicit starts
    try {
        AddSubStringDefinitions(list, 1,
                                {{kFieldText, 0, 2}, {kFieldText, 0, 0}, {kFieldText, 0, 1}});
        FAIL() << "no error";
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(), "Invalid definition");
    }
    EXPECT_EQ(list.Count(), 4u); // the triple before the bad one stays

    // Cutting: a field beyond the line is empty text; kind 7 behaves as text.
    TSubStringInfo text(7, 4, 3);
    bool ok = false;
    TParsedValue value;
    text.ParseField("abcdefg", ok, value);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::get<AnsiString>(value), "def");
    text.ParseField("ab", ok, value);
    EXPECT_TRUE(ok);
    EXPECT_EQ(std::get<AnsiString>(value), "");
}

TEST(ReaderForFile, ChoosesByExtension) {
    TTempDir dir;
    WriteFile(dir / "a.Sdr", Record08("1", "1", "2", "3") + "\r\n");
    WriteFile(dir / "b.RPT", "XYZ     1,2,3\r\n");
    WriteFile(dir / "c.txt", "");
    // GSI-8: point 7 at easting 1234.567 m, northing 89.012 m, no height.
    WriteFile(dir / "d.GSI", "110001+00000007 81..00+01234567 82..00+00089012 \r\n");
    TNXYZPoint point;
    auto gsi = ReaderForFile(dir / "d.GSI");
    ASSERT_TRUE(gsi->ReadPoint(point));
    EXPECT_EQ(point.Number, "7");
    EXPECT_DOUBLE_EQ(point.X, 1234.567);
    EXPECT_DOUBLE_EQ(point.Y, 89.012);
    EXPECT_FALSE(point.Z);
    auto sdr = ReaderForFile(dir / "a.Sdr");
    ASSERT_TRUE(sdr->ReadPoint(point));
    EXPECT_EQ(point.Number, "1");
    auto rpt = ReaderForFile(dir / "b.RPT");
    ASSERT_TRUE(rpt->ReadPoint(point));
    EXPECT_EQ(point.Number, "");
    EXPECT_EQ(point.Z, 3);
    for (const auto& name : {dir / "c.txt", dir / "noext", dir / "x.sdr.d" / "file"}) {
        SCOPED_TRACE(name.string());
        try {
            (void)ReaderForFile(name);
            ADD_FAILURE() << "accepted";
        } catch (const EUnknownFileFormat& e) {
            EXPECT_EQ(e.Message(), Ansi("Неизвестный формат файла \"") + name.string() + "\"");
        }
    }
    EXPECT_THROW((void)ReaderForFile(dir / "missing.sdr"), EUserError);
}

TEST(SdrFileReader, SkipsBlankAndForeignRecordsAndCountsBadOnes) {
    TTempDir dir;
    WriteFile(dir / "a.sdr", "00NMSDR33 V04-04.02\r\n\r\n   \r\n" +
                                 Record08("P1", "10", "20", "30") + "\r\n02TP0001\r\n" +
                                 Record08("P2", "bad", "20", "30") + "\r\n" +
                                 Record08("P3", "11", "21", "31"));
    TSDRFileReader reader(dir / "a.sdr");
    TNXYZPoint point;
    ASSERT_TRUE(reader.ReadPoint(point));
    EXPECT_EQ(point.Number, "P1");
    EXPECT_EQ(point.Z, 30);
    EXPECT_EQ(point.Line, 4);
    ASSERT_TRUE(reader.ReadPoint(point));
    EXPECT_EQ(point.Number, "P3");
    EXPECT_EQ(point.X, 11);
    EXPECT_EQ(point.Line, 7);
    EXPECT_FALSE(reader.ReadPoint(point));
    // The coordinate record that does not read is counted with its line, not dropped unseen.
    EXPECT_EQ(reader.Skipped().Count(TSkipReason::NoNumber), 1);
    EXPECT_EQ(reader.Skipped().FirstNumbers(TSkipReason::NoNumber), (std::vector<std::int64_t>{6}));

    WriteFile(dir / "none.sdr", "\r\n00NMSDR33\r\n\r\n");
    TSDRFileReader none(dir / "none.sdr");
    EXPECT_FALSE(none.ReadPoint(point));
}

TEST(RptFileReader, StationAndSightingRules) {
    TTempDir dir;
    WriteFile(dir / "a.rpt",
              "XYZ     1,2,3\r\n" // before any STN or SS: empty number
              "STN     P7,1.550,A\r\n"
              "SS      12,1.300,K\r\n"
              "XYZ     10, 20 ,30\r\n" // spaces around numbers are allowed
              "XYZ     1,2,3,\r\n"     // four pieces: ignored
              "XYZ  1,2,3\r\n"         // short tag: ignored
              "xyz     1,2,3\r\n"      // lower case: ignored
              "XYZ\r\n"                // shorter than 8 characters
              "STN     Q1,2\r\n"       // two pieces clear the station
              "XYZ     4,5,6\r\n"
              "SS      \r\n" // empty data: one piece, clears the sighting
              "XYZ     7,8,9\r\n"
              "XYZ     1,\t2,3\r\n" // a tab is not allowed around a number
              "XYZ     5,5,5\r\n");
    TRPTFileReader reader(dir / "a.rpt");
    struct Expected {
        const char* number;
        double x, y, z;
    } expected[] = {{"", 1, 2, 3}, {"P7A12K", 10, 20, 30}, {"12K", 4, 5, 6}, {"", 7, 8, 9}};
    TNXYZPoint point;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.number);
        ASSERT_TRUE(reader.ReadPoint(point));
        EXPECT_EQ(point.Number, e.number);
        EXPECT_EQ(point.X, e.x);
        EXPECT_EQ(point.Y, e.y);
        EXPECT_EQ(point.Z, e.z);
    }
    try {
        (void)reader.ReadPoint(point);
        FAIL() << "no error";
    } catch (const EPointFileError& e) {
        EXPECT_EQ(e.Message(), Ansi("Файл a.rpt, строка 13: значение \"\t2\" не является числом"));
    }
}

} // namespace
