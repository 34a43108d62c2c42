// Survey observations reduced to coordinates through the SDR and GSI readers: every angle and
// length unit, zenith angles on both sides of the horizon, target heights, stations, the points
// that coordinate records keep, and the observations that cannot be reduced.
//
// The expected points are where the test put them: each observation is worked out backwards
// from the station's and the point's coordinates with plain trigonometry (bearing by atan2,
// zenith angle from the height difference), written in the file's units as an instrument
// would, and the reader must land within 1 mm of the point again.
#include "sdr/survey_readers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

using namespace SDRReader;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMm = 1e-3;

struct TPlace {
    double n = 0, e = 0, h = 0;
};

// What an instrument at `from` (its height already above the mark) sees of `to`.
struct TPolar {
    double slope, zenith, azimuth; // metres, radians
};

TPolar Observe(const TPlace& from, double instrumentHeight, const TPlace& to, double targetHeight) {
    const double dn = to.n - from.n;
    const double de = to.e - from.e;
    const double dz = (to.h + targetHeight) - (from.h + instrumentHeight);
    const double horizontal = std::hypot(dn, de);
    double azimuth = std::atan2(de, dn);
    if (azimuth < 0)
        azimuth += 2 * kPi;
    return {std::hypot(horizontal, dz), std::atan2(horizontal, dz), azimuth};
}

double Wrap(double radians) {
    while (radians < 0)
        radians += 2 * kPi;
    while (radians >= 2 * kPi)
        radians -= 2 * kPi;
    return radians;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

struct TRead {
    std::vector<TNXYZPoint> points;
    TImportReport skipped;
};

TRead ReadFile(const std::filesystem::path& path, bool reduce) {
    TSurveyReadOptions options;
    options.ReduceObservations = reduce;
    auto reader = ReaderForFile(path, options);
    TRead read;
    TNXYZPoint point;
    while (reader->ReadPoint(point))
        read.points.push_back(point);
    read.skipped = reader->Skipped();
    return read;
}

const TNXYZPoint* Find(const TRead& read, const std::string& number) {
    for (const TNXYZPoint& p : read.points)
        if (p.Number == number)
            return &p;
    return nullptr;
}

// ---- SDR33: fields of 16 characters, numbers right-aligned.

std::string R16(const std::string& s) {
    return std::string(16 - std::min<std::size_t>(16, s.size()), ' ') + s;
}

double SdrAngle(double radians, char unit) {
    switch (unit) {
    case '2':
        return radians * 200 / kPi;
    case '4':
        return radians * 3200 / kPi;
    default:
        return radians * 180 / kPi;
    }
}

// The header with its unit codes at 41 (angles), 42 (distances) and 45 (coordinate order).
std::string SdrHeader(char angle, char distance, char order) {
    return std::string("00NMSDR33 V04-04.02     14-May-24 09:41 ") + angle + distance + "31" +
           order + "1\r\n";
}

// An SDR file being written: it knows its units, where its stations stand and how their
// circles are turned.
class TSdrWriter {
public:
    TSdrWriter(char angle, char order, bool header = true) : m_angle(angle), m_order(order) {
        if (header)
            text = SdrHeader(angle, '1', order);
    }

    std::string Coordinates(const TPlace& p) const {
        const std::string n = R16(Fixed(p.n, 4)), e = R16(Fixed(p.e, 4));
        return (m_order == '2' ? e + n : n + e) + R16(Fixed(p.h, 4));
    }
    void Station(const std::string& id, const TPlace& at, double instrumentHeight) {
        text += "02TP" + R16(id) + Coordinates(at) + R16(Fixed(instrumentHeight, 4)) + "\r\n";
        m_id = id;
        m_at = at;
        m_instrumentHeight = instrumentHeight;
    }
    // The backsight on `to` with the circle reading `reading` (radians) on it.
    void Backsight(const std::string& id, const TPlace& to, double reading) {
        const double azimuth = Observe(m_at, 0, to, 0).azimuth;
        m_orientation = azimuth - reading;
        text += "07TP" + R16(m_id) + R16(id) + R16(Fixed(SdrAngle(azimuth, m_angle), 6)) +
                R16(Fixed(SdrAngle(reading, m_angle), 6)) + "\r\n";
    }
    void TargetHeight(double height) {
        m_targetHeight = height;
        text += "03NM" + R16(Fixed(height, 4)) + "\r\n";
    }
    // "09F1" to the point; face 2 turns the circle by half a turn and reads the zenith angle
    // from the other side.
    void Observation(const std::string& id, const TPlace& to, bool face2 = false) {
        const TPolar polar = Observe(m_at, m_instrumentHeight, to, m_targetHeight);
        double reading = Wrap(polar.azimuth - m_orientation);
        double zenith = polar.zenith;
        if (face2) {
            reading = Wrap(reading + kPi);
            zenith = 2 * kPi - zenith;
        }
        text += std::string(face2 ? "09F2" : "09F1") + R16(m_id) + R16(id) +
                R16(Fixed(polar.slope, 4)) + R16(Fixed(SdrAngle(zenith, m_angle), 6)) +
                R16(Fixed(SdrAngle(reading, m_angle), 6)) + "ROAD\r\n";
    }
    void Raw(const std::string& line) { text += line + "\r\n"; }

    std::string text;

private:
    char m_angle, m_order;
    std::string m_id;
    TPlace m_at;
    double m_instrumentHeight = 0, m_targetHeight = 0, m_orientation = 0;
};

// The point as the file writes its coordinates: easting first for order 2.
void ExpectAt(const TNXYZPoint* point, const TPlace& place, bool eastingFirst) {
    ASSERT_NE(point, nullptr);
    EXPECT_TRUE(point->Computed);
    EXPECT_NEAR(point->X, eastingFirst ? place.e : place.n, kMm);
    EXPECT_NEAR(point->Y, eastingFirst ? place.n : place.e, kMm);
    ASSERT_TRUE(point->Z.has_value());
    EXPECT_NEAR(*point->Z, place.h, kMm);
}

const TPlace kStation{6289308.38, 493191.46, 151.234};
const TPlace kBacksight{6289577.69, 492095.24, 171.42};

TEST(SdrReduction, EachUnitAndZenithOnBothSidesOfTheHorizon) {
    const TPlace above{6289340.125, 493230.871, 158.902}; // zenith angle below 90° / 100 gon
    const TPlace below{6289260.5, 493150.25, 139.75};     // zenith angle above
    // In feet every length of the file is in feet and stays so, as its "08" records do.
    const TPlace feetStation{20633.8, 1618082.1, 496.2};
    const TPlace feetPoint{20701.3, 1618001.7, 489.9};
    struct TCase {
        const char* name;
        char angle, distance, order;
        TPlace station, point;
        bool face2 = false;
        bool header = true;
    } cases[] = {
        {"degrees, northing first, above", '1', '1', '1', kStation, above},
        {"degrees, below", '1', '1', '1', kStation, below},
        {"gons, easting first, above", '2', '1', '2', kStation, above},
        {"gons, below", '2', '1', '2', kStation, below},
        {"mils, above", '4', '1', '1', kStation, above},
        {"mils, below", '4', '1', '2', kStation, below},
        {"feet, degrees, easting first", '1', '2', '2', feetStation, feetPoint},
        {"face 2 in gons", '2', '1', '1', kStation, below, true},
        {"no header: degrees, northing first", '1', '1', '1', kStation, above, false, false},
    };
    TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TSdrWriter file(c.angle, c.order, c.header);
        if (c.header)
            file.text = SdrHeader(c.angle, c.distance, c.order);
        file.Station("1001", c.station, 1.548);
        file.Backsight("2041", kBacksight, 1.234567);
        file.TargetHeight(1.8);
        file.Observation("101", c.point, c.face2);
        WriteFile(dir / "a.sdr", file.text);
        const TRead read = ReadFile(dir / "a.sdr", true);
        ASSERT_EQ(read.points.size(), 1u);
        EXPECT_EQ(read.points[0].Number, "101");
        EXPECT_EQ(read.points[0].Line, c.header ? 5 : 4);
        ExpectAt(&read.points[0], c.point, c.order == '2');
        EXPECT_TRUE(read.skipped.Clean());
    }
}

TEST(SdrReduction, TargetHeightChangeAndSecondStation) {
    const TPlace second{6289343.43, 493281.93, 149.871};
    const TPlace p1{6289317.69, 493184.89, 152.039}, p2{6289331.38, 493222.48, 151.613},
        p3{6289365.57, 493316.42, 150.191};
    TSdrWriter file('2', '2');
    file.Station("1001", kStation, 1.548);
    file.Backsight("2041", kBacksight, 0);
    file.TargetHeight(1.8);
    file.Observation("101", p1);
    file.TargetHeight(2.35);
    file.Observation("102", p2);
    // The next set-up keeps the target height and needs its own backsight.
    file.Station("1002", second, 1.552);
    file.Backsight("1001", kStation, 3.0);
    file.Observation("103", p3);
    TTempDir dir;
    WriteFile(dir / "a.sdr", file.text);
    const TRead read = ReadFile(dir / "a.sdr", true);
    ASSERT_EQ(read.points.size(), 3u);
    ExpectAt(Find(read, "101"), p1, true);
    ExpectAt(Find(read, "102"), p2, true);
    ExpectAt(Find(read, "103"), p3, true);
    EXPECT_TRUE(read.skipped.Clean());
}

TEST(SdrReduction, CoordinateRecordsWinAndWhatCannotBeReducedIsCountedByLine) {
    const TPlace q{6289340.125, 493230.871, 158.902};
    const std::string blankDistance =
        "09F1" + R16("1001") + R16("Q4") + R16("") + R16("85.000000") + R16("10.000000");
    TSdrWriter file('1', '1');      // line 1: the header
    file.TargetHeight(1.7);         // 2
    file.Station("0", kStation, 0); // 3: a station without a backsight
    file.Observation("Q1", q);      // 4
    file.Raw("09F1" + R16("9999") + R16("Q2") + R16("10") + R16("90") + R16("0")); // 5
    file.Station("1001", kStation, 1.5);                                           // 6
    file.Backsight("2041", kBacksight, 0);                                         // 7
    file.Observation("K1", q); // 8: replaced by its coordinate record below
    file.Raw("08TP" + R16("K1") + file.Coordinates({1, 2, 3})); // 9
    file.Raw("08TP" + R16("K2") + file.Coordinates({4, 5, 6})); // 10
    file.Observation("K2", q);                                  // 11: after its record
    file.Raw("09F1" + R16("9999") + R16("K1") + R16("10") + R16("90") + R16("0"));      // 12
    file.Raw("09F1" + R16("1001") + R16("Q3") + R16("0.0000") + R16("85") + R16("10")); // 13
    file.Raw(blankDistance);   // 14: angles alone
    file.Observation("Q5", q); // 15
    file.Raw("09F1" + R16("1001") + R16("Q6") + R16("10") + R16("") + R16("10")); // 16
    file.Raw("02TP" + R16("1002") + R16("x") + R16("1") + R16("1")); // 17: does not read
    file.Observation("Q7", q);                                       // 18: its station is gone
    TTempDir dir;
    WriteFile(dir / "a.sdr", file.text);

    const TRead off = ReadFile(dir / "a.sdr", false);
    ASSERT_EQ(off.points.size(), 2u);
    EXPECT_TRUE(off.skipped.Clean());

    const TRead read = ReadFile(dir / "a.sdr", true);
    ASSERT_EQ(read.points.size(), 3u);
    EXPECT_EQ(read.points[0].Number, "K1");
    EXPECT_EQ(read.points[0].X, 1);
    EXPECT_FALSE(read.points[0].Computed);
    EXPECT_EQ(read.points[1].Number, "K2");
    EXPECT_EQ(read.points[2].Line, 15); // held back to the file's end, with its own line
    ExpectAt(Find(read, "Q5"), q, false);
    using V = std::vector<std::int64_t>;
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NoOrientation), V{4});
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NoStation), (V{5, 18}));
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NoDistance), (V{13, 14}));
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::Malformed), (V{16, 17}));
    EXPECT_EQ(read.skipped.Count(TSkipReason::NotReducible), 0);
    EXPECT_NE(read.skipped.SkippedText().find(Ansi("Станция не ориентирована: 1 строка (4)")),
              std::string::npos)
        << read.skipped.SkippedText();
}

TEST(SdrReduction, UnknownAngleUnitIsNotGuessed) {
    TSdrWriter file('1', '1');
    file.text = SdrHeader('3', '1', '1');
    file.Station("1001", kStation, 1.5);
    file.Backsight("2041", kBacksight, 0);
    file.Observation("101", {6289340, 493230, 150});
    TTempDir dir;
    WriteFile(dir / "a.sdr", file.text);
    const TRead read = ReadFile(dir / "a.sdr", true);
    EXPECT_TRUE(read.points.empty());
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NotReducible), std::vector<std::int64_t>{4});
}

// ---- GSI-16: words of 24 characters, readings oriented on grid north by the instrument.

std::string Word(const char* head, long long digits) {
    char word[40];
    std::snprintf(word, sizeof word, "%s%c%016lld ", head, digits < 0 ? '-' : '+',
                  std::llabs(digits));
    return word;
}

std::string NumberWord(const std::string& number) {
    return "*110001+" + std::string(16 - number.size(), '0') + number + " ";
}

long long Round(double value) {
    return std::llround(value);
}

// An angle word in unit 2 (gons), 3 (degrees), 4 (ddd mm ss.s) or 5 (mils).
std::string AngleWord(int index, char unit, double radians) {
    const std::string head = std::to_string(index) + ".32" + unit;
    const double degrees = radians * 180 / kPi;
    switch (unit) {
    case '2':
        return Word(head.c_str(), Round(radians * 200 / kPi * 1e5));
    case '3':
        return Word(head.c_str(), Round(degrees * 1e5));
    case '4': {
        const long long tenths = Round(degrees * 36000); // tenths of a second
        const long long d = tenths / 36000, m = tenths / 600 % 60, s = tenths % 600;
        return Word(head.c_str(), d * 100000 + m * 1000 + s);
    }
    default:
        return Word(head.c_str(), Round(radians * 3200 / kPi * 1e4));
    }
}

// A length word in unit 0 (mm), 1 (1/1000 ft) or 8 (1/100 mm).
std::string LengthWord(int index, char unit, double metres) {
    const std::string head = std::to_string(index) + "..0" + unit;
    switch (unit) {
    case '1':
        return Word(head.c_str(), Round(metres / 0.3048 * 1000));
    case '8':
        return Word(head.c_str(), Round(metres * 1e5));
    default:
        return Word(head.c_str(), Round(metres * 1000));
    }
}

std::string GsiStation(const std::string& id, const TPlace& at, double instrumentHeight) {
    return NumberWord(id) + LengthWord(84, '0', at.e) + LengthWord(85, '0', at.n) +
           LengthWord(86, '0', at.h) + LengthWord(88, '0', instrumentHeight) + "\r\n";
}

std::string GsiObservation(const std::string& id, const TPlace& from, double instrumentHeight,
                           const TPlace& to, double targetHeight, char angle, char distance) {
    const TPolar polar = Observe(from, instrumentHeight, to, targetHeight);
    return NumberWord(id) + AngleWord(21, angle, polar.azimuth) +
           AngleWord(22, angle, polar.zenith) + LengthWord(31, distance, polar.slope) +
           LengthWord(87, '0', targetHeight) + "\r\n";
}

const TPlace kGsiStation{6289401.354, 493248.205, 150.618};

TEST(GsiReduction, EachUnitAndZenithOnBothSidesOfTheHorizon) {
    const TPlace above{6289367.277, 493183.996, 152.95}, below{6289432.5, 493290.75, 141.1};
    struct TCase {
        const char* name;
        char angle, distance;
        TPlace point;
    } cases[] = {
        {"gons, mm, above", '2', '0', above},
        {"gons, below", '2', '8', below},
        {"decimal degrees, above", '3', '0', above},
        {"decimal degrees, below", '3', '0', below},
        {"sexagesimal degrees", '4', '0', above},
        {"sexagesimal, below", '4', '8', below},
        {"mils, above", '5', '0', above},
        {"mils, below", '5', '0', below},
        {"slope distance in feet", '2', '1', below},
    };
    TTempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir / "a.gsi",
                  GsiStation("1004", kGsiStation, 1.55) +
                      GsiObservation("401", kGsiStation, 1.55, c.point, 1.8, c.angle, c.distance));
        const TRead read = ReadFile(dir / "a.gsi", true);
        ASSERT_EQ(read.points.size(), 1u);
        EXPECT_EQ(read.points[0].Number, "401");
        EXPECT_EQ(read.points[0].Line, 2);
        ExpectAt(&read.points[0], c.point, true);
        EXPECT_TRUE(read.skipped.Clean());
    }
}

TEST(GsiReduction, HeightsStationsCoordinatesAndSkips) {
    const TPlace second{6289343.43, 493281.93, 149.871};
    const TPlace p1{6289367.277, 493183.996, 150.95}, p2{6289372.762, 493199.026, 150.723},
        p3{6289394.702, 493259.148, 149.722};
    const std::string text =
        GsiObservation("400", kGsiStation, 0, p1, 0, '2', '0') +      // 1: no station
        GsiStation("1004", kGsiStation, 1.55) +                       // 2
        GsiObservation("401", kGsiStation, 1.55, p1, 1.8, '2', '0') + // 3
        GsiObservation("402", kGsiStation, 1.55, p2, 2.5, '2', '0') + // 4: new reflector
        NumberWord("403") + AngleWord(21, '2', 1) + AngleWord(22, '2', 1.5) + "\r\n" + // 5
        NumberWord("404") + LengthWord(81, '0', 1) + LengthWord(82, '0', 2) + "\r\n" + // 6
        GsiObservation("404", kGsiStation, 1.55, p2, 2.5, '2', '0') + // 7: has coordinates
        "*110009+0000000000001005 84..00+0000000000001000 \r\n" +     // 8: no northing
        GsiObservation("405", kGsiStation, 1.55, p2, 2.5, '2', '0') + // 9: station gone
        GsiStation("1002", second, 1.43) +                            // 10
        GsiObservation("406", second, 1.43, p3, 2.5, '3', '0');       // 11
    TTempDir dir;
    WriteFile(dir / "a.gsi", text);

    const TRead off = ReadFile(dir / "a.gsi", false);
    ASSERT_EQ(off.points.size(), 1u);
    EXPECT_TRUE(off.skipped.Clean());

    const TRead read = ReadFile(dir / "a.gsi", true);
    ASSERT_EQ(read.points.size(), 4u);
    EXPECT_EQ(read.points[0].Number, "404");
    EXPECT_FALSE(read.points[0].Computed);
    ExpectAt(Find(read, "401"), p1, true);
    ExpectAt(Find(read, "402"), p2, true);
    ExpectAt(Find(read, "406"), p3, true);
    using V = std::vector<std::int64_t>;
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NoStation), (V{1, 9}));
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::NoDistance), V{5});
    EXPECT_EQ(read.skipped.FirstNumbers(TSkipReason::Malformed), V{8});
}

} // namespace
