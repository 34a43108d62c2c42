// The sample files of samples/ read through the module's own readers: the counts the samples
// README states, one known point of each file, and that all of them lie in one area of the
// demo project's coordinate system (WGS 84 / UTM zone 37N).
#include "pts/pts_reader.h"
#include "sdr/survey_readers.h"
#include "support/temp_dir.h"
#include "text/csv_data.h"
#include "text/string_file.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <proj.h>

#include <regex>
#include <sstream>

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <set>

namespace {

const std::filesystem::path kSamples = std::filesystem::path(TI_SOURCE_DIR) / "samples";

// The file as the text wizard hands it to the table: its lines, each followed by CR LF.
TCSVData ReadTable(const std::filesystem::path& file) {
    TStringFile lines(file, codepage::kAnsi);
    AnsiString text;
    while (!lines.End())
        text += lines.ReadLine() + "\r\n";
    TCSVData table;
    table.SetDelimiter(';');
    table.SetQuoteChar('"');
    table.Parse(std::move(text));
    return table;
}

// A number with a decimal comma, as the samples write them.
double Number(std::string_view cell) {
    std::string text(cell);
    for (char& c : text)
        if (c == ',')
            c = '.';
    double value = NAN;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

int Integer(std::string_view cell) {
    int value = 0;
    auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(ec == std::errc() && end == cell.data() + cell.size()) << cell;
    return value;
}

struct TXY {
    double x, y;
};

// WGS 84 longitude/latitude in degrees to UTM zone 37N metres, straight through PROJ.
class TToUtm37 {
public:
    TToUtm37() {
        m_pj = proj_create(nullptr, "+proj=pipeline +step +proj=unitconvert +xy_in=deg "
                                    "+xy_out=rad +step +proj=utm +zone=37 +ellps=WGS84");
    }
    ~TToUtm37() { proj_destroy(m_pj); }
    TToUtm37(const TToUtm37&) = delete;
    TToUtm37& operator=(const TToUtm37&) = delete;
    TXY operator()(double lon, double lat) const {
        PJ_COORD c = proj_trans(m_pj, PJ_FWD, proj_coord(lon, lat, 0, 0));
        return {c.xy.x, c.xy.y};
    }
    bool Valid() const { return m_pj != nullptr; }

private:
    PJ* m_pj = nullptr;
};

struct TSurveyPoint {
    AnsiString number;
    double x, y, z;
};

std::vector<TSurveyPoint> ReadSurveyFile(const std::filesystem::path& file, bool reduce = false,
                                         int* computed = nullptr) {
    SDRReader::TSurveyReadOptions options;
    options.ReduceObservations = reduce;
    auto reader = SDRReader::ReaderForFile(file, options);
    std::vector<TSurveyPoint> points;
    TNXYZPoint p;
    while (reader->ReadPoint(p)) {
        points.push_back({p.Number, p.X, p.Y, p.Z.value_or(0)});
        if (computed && p.Computed)
            ++*computed;
    }
    EXPECT_TRUE(reader->Skipped().Clean()) << reader->Skipped().SkippedText();
    return points;
}

std::vector<TSurveyPoint> ReadSurvey(const std::string& name) {
    return ReadSurveyFile(kSamples / name);
}

const TSurveyPoint* Find(const std::vector<TSurveyPoint>& points, const AnsiString& number) {
    for (const auto& p : points)
        if (p.number == number)
            return &p;
    return nullptr;
}

// The rectangle every sample point must fall into: the survey site with its control network.
struct TArea {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    void Add(double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

class SampleFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_toUtm.Valid()); }
    TToUtm37 m_toUtm;
};

} // namespace

TEST_F(SampleFiles, PointTableHoldsTypedCyrillicColumnsInLongitudeLatitude) {
    TCSVData t = ReadTable(kSamples / "points.csv");
    ASSERT_EQ(t.RowCount(), 20); // captions + 19 points
    ASSERT_EQ(t.ColCount(), 13);
    const std::vector<std::string> captions = {
        "Номер",      "Название", "Вид", "Долгота", "Широта", "Высота",    "Класс",
        "Тип центра", "Марок",    "СКП", "Заложен", "Снят",   "Обследован"};
    for (int c = 0; c < t.ColCount(); ++c)
        EXPECT_EQ(t.Cells(0, c), Ansi(captions[c])) << c;

    std::map<AnsiString, int> kinds;
    for (int r = 1; r < t.RowCount(); ++r) {
        SCOPED_TRACE(r);
        ++kinds[AnsiString(t.Cells(r, 2))];
        const double lon = Number(t.Cells(r, 3)), lat = Number(t.Cells(r, 4));
        // Inside zone 37 (36..42 degrees east) near Pereslavl-Zalessky.
        EXPECT_GT(lon, 38.8);
        EXPECT_LT(lon, 39.0);
        EXPECT_GT(lat, 56.7);
        EXPECT_LT(lat, 56.8);
        EXPECT_GT(Number(t.Cells(r, 5)), 100.0); // height, metres
        for (int c : {6, 7, 8})                  // integer columns: empty or an integer
            if (!t.Cells(r, c).empty())
                Integer(t.Cells(r, c));
        for (int c : {10, 11, 12}) { // dates: empty or DD.MM.YYYY
            std::string_view d = t.Cells(r, c);
            if (!d.empty()) {
                EXPECT_TRUE(d.size() == 10 && d[2] == '.' && d[5] == '.') << d;
            }
        }
    }
    EXPECT_EQ(kinds, (std::map<AnsiString, int>{
                         {Ansi("Пункт ГГС"), 4}, {Ansi("Репер"), 4}, {Ansi("Пикет"), 11}}));
    EXPECT_EQ(t.Cells(1, 0), "2041");
    EXPECT_EQ(t.Cells(1, 1), Ansi("Пункт триангуляции «Заречье»"));
    EXPECT_EQ(Integer(t.Cells(1, 6)), 3);
    EXPECT_EQ(t.Cells(1, 10), "12.06.1961");
    EXPECT_EQ(t.Cells(9, 0), Ansi("ПК0+00"));
    EXPECT_EQ(t.Cells(9, 11), "15.05.2024");
}

TEST_F(SampleFiles, ParcelCornersCloseOneRingPerParcel) {
    TCSVData t = ReadTable(kSamples / "parcels.csv");
    ASSERT_EQ(t.RowCount(), 32); // captions + 6 rings of 4 or 5 corners, each closed again
    // The ring methods end a ring when a point returns to the ring's first point.
    struct TRing {
        AnsiString parcel;
        std::vector<TXY> corners;
        double area;
    };
    std::vector<TRing> rings;
    bool open = false;
    for (int r = 1; r < t.RowCount(); ++r) {
        const TXY p{Number(t.Cells(r, 2)), Number(t.Cells(r, 3))};
        if (!open) {
            rings.push_back({AnsiString(t.Cells(r, 0)), {p}, Number(t.Cells(r, 4))});
            open = true;
            continue;
        }
        TRing& ring = rings.back();
        EXPECT_EQ(t.Cells(r, 0), ring.parcel) << "row " << r << " belongs to another parcel";
        if (p.x == ring.corners[0].x && p.y == ring.corners[0].y)
            open = false;
        else
            ring.corners.push_back(p);
    }
    EXPECT_FALSE(open) << "the last ring is not closed";
    ASSERT_EQ(rings.size(), 6u);
    std::set<AnsiString> parcels;
    for (const auto& ring : rings) {
        SCOPED_TRACE(ring.parcel);
        parcels.insert(ring.parcel);
        EXPECT_EQ(ring.corners.size(), ring.parcel == "76:11:0123401:34" ? 5u : 4u);
        double twice = 0; // shoelace: the stated area is the ring's own
        for (std::size_t i = 0; i < ring.corners.size(); ++i) {
            const TXY& a = ring.corners[i];
            const TXY& b = ring.corners[(i + 1) % ring.corners.size()];
            twice += a.x * b.y - b.x * a.y;
        }
        EXPECT_NEAR(std::abs(twice) / 2, ring.area, 0.05); // area written to 0.1 m2
    }
    EXPECT_EQ(parcels.size(), 6u);
}

TEST_F(SampleFiles, PtsSdrAndRptFilesGiveTheirPoints) {
    TInputPtsFile pts(kSamples / "topo.pts");
    TNXYZPoint point;
    std::vector<std::pair<AnsiString, AnsiString>> read;
    TXY seventh{};
    while (pts.ReadPoint(point)) {
        read.emplace_back(point.Number, point.Comment);
        if (point.Number == "7")
            seventh = {point.X, point.Y};
    }
    ASSERT_EQ(read.size(), 22u);
    EXPECT_EQ(read[6].second, Ansi("угол дома"));
    EXPECT_NEAR(seventh.x, 493233.030, 1e-9); // as written in the file
    EXPECT_NEAR(seventh.y, 6289360.740, 1e-9);
    EXPECT_EQ(read[14].second, Ansi("опора ЛЭП 0,4 кВ, ж/б")); // commas inside the comment
    EXPECT_EQ(read[20].second, "");

    auto sdr1 = ReadSurvey("survey1.sdr");
    auto sdr2 = ReadSurvey("survey2.sdr");
    auto rpt = ReadSurvey("survey3.rpt");
    EXPECT_EQ(sdr1.size(), 14u); // station, backsight, 101-112
    EXPECT_EQ(sdr2.size(), 12u); // station, backsight, 201-210
    EXPECT_EQ(rpt.size(), 8u);   // 1003-301 ... 1003-308
    const TSurveyPoint* p105 = Find(sdr1, "105");
    ASSERT_NE(p105, nullptr);
    EXPECT_NEAR(p105->x, 493222.48, 1e-9); // as written in the file
    EXPECT_NEAR(p105->y, 6289331.38, 1e-9);
    EXPECT_NEAR(p105->z, 151.613, 1e-9);
    // Station 1001 of the first file is the backsight of the second.
    const TSurveyPoint* a = Find(sdr1, "1001");
    const TSurveyPoint* b = Find(sdr2, "1001");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(std::tie(a->x, a->y, a->z), std::tie(b->x, b->y, b->z));
    ASSERT_NE(Find(rpt, "1003-301"), nullptr);
    const TSurveyPoint* pole = Find(rpt, Ansi("1003-305ЛЭП"));
    ASSERT_NE(pole, nullptr);
    EXPECT_NEAR(pole->x, 493363.42, 1e-9);
    EXPECT_NEAR(pole->z, 149.383, 1e-9);
}

TEST_F(SampleFiles, AllSamplesLieInOneAreaOfTheDemoDatabaseSystem) {
    std::ifstream in(kSamples / "demo-project.json");
    const nlohmann::json system = nlohmann::json::parse(in).at("coordinateSystem");
    ASSERT_EQ(system.at("parameters"), "+proj=utm +zone=37 +datum=WGS84 +units=m +no_defs");
    const auto box = system.at("boundingBox").get<std::vector<double>>();

    TArea area;
    TCSVData t = ReadTable(kSamples / "points.csv");
    std::map<AnsiString, TXY> converted;
    for (int r = 1; r < t.RowCount(); ++r) {
        TXY p = m_toUtm(Number(t.Cells(r, 3)), Number(t.Cells(r, 4)));
        converted[AnsiString(t.Cells(r, 0))] = p;
        area.Add(p.x, p.y);
    }
    TCSVData parcels = ReadTable(kSamples / "parcels.csv");
    for (int r = 1; r < parcels.RowCount(); ++r)
        area.Add(Number(parcels.Cells(r, 2)), Number(parcels.Cells(r, 3)));
    TInputPtsFile pts(kSamples / "topo.pts");
    TNXYZPoint point;
    while (pts.ReadPoint(point))
        area.Add(point.X, point.Y);
    for (const char* name : {"survey1.sdr", "survey2.sdr", "survey3.rpt", "survey5.sdr"})
        for (const auto& p : ReadSurvey(name))
            area.Add(p.x, p.y);

    EXPECT_GE(area.minX, box[0]);
    EXPECT_GE(area.minY, box[1]);
    EXPECT_LE(area.maxX, box[2]);
    EXPECT_LE(area.maxY, box[3]);
    // The site and its control network: a few kilometres across.
    EXPECT_LT(area.maxX - area.minX, 3000.0);
    EXPECT_LT(area.maxY - area.minY, 3000.0);

    // The triangulation point 2041 is the backsight of survey1.sdr: its longitude/latitude
    // converted by PROJ lands on the instrument's coordinates (7 decimals of a degree round
    // to under 1 cm here).
    const auto survey1 = ReadSurvey("survey1.sdr");
    const TSurveyPoint* bs = Find(survey1, "2041");
    ASSERT_NE(bs, nullptr);
    EXPECT_NEAR(converted["2041"].x, bs->x, 0.01);
    EXPECT_NEAR(converted["2041"].y, bs->y, 0.01);
    // The road pickets run along the street in front of the parcels: ПК0+20 is within 10 m of
    // the first parcel's front corner.
    const TXY pk = converted[Ansi("ПК0+20")];
    EXPECT_LT(std::hypot(pk.x - Number(parcels.Cells(1, 2)), pk.y - Number(parcels.Cells(1, 3))),
              10.0);
}

// The observations of the survey files agree with their coordinate records: each file, without
// its coordinates (SDR "08" records, GSI words 81-83), reduced, gives its points within 5 mm of
// where the coordinate records have them.
TEST_F(SampleFiles, ObservationsAgreeWithTheCoordinateRecords) {
    TTempDir dir;
    struct TCase {
        const char* name;
        int observed; // points with both an observation and a coordinate record
    } cases[] = {{"survey1.sdr", 12}, {"survey2.sdr", 10}, {"survey5.sdr", 6}, {"survey4.gsi", 10}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::ifstream in(kSamples / c.name, std::ios::binary);
        std::stringstream whole;
        whole << in.rdbuf();
        std::string text;
        if (std::string(c.name).ends_with(".gsi")) {
            text =
                std::regex_replace(whole.str(), std::regex("8[123]\\.\\.\\d\\d[-+]\\d{16} "), "");
        } else {
            for (std::string line; std::getline(whole, line);)
                if (!line.starts_with("08"))
                    text += line + "\n";
        }
        const std::filesystem::path stripped = dir / c.name;
        std::ofstream(stripped, std::ios::binary) << text;

        const std::vector<TSurveyPoint> records = ReadSurvey(c.name);
        int computed = 0;
        const std::vector<TSurveyPoint> reduced = ReadSurveyFile(stripped, true, &computed);
        EXPECT_EQ(computed, static_cast<int>(reduced.size()));
        int compared = 0;
        for (const TSurveyPoint& p : reduced) {
            const TSurveyPoint* record = Find(records, p.number);
            if (!record)
                continue;
            SCOPED_TRACE(p.number);
            ++compared;
            EXPECT_NEAR(p.x, record->x, 0.005);
            EXPECT_NEAR(p.y, record->y, 0.005);
            EXPECT_NEAR(p.z, record->z, 0.005);
        }
        EXPECT_EQ(compared, c.observed);
    }

    // Read whole, the file's own coordinate records are kept and the points observed without
    // one are added: 505-508 and 510.
    int computed = 0;
    const auto survey5 = ReadSurveyFile(kSamples / "survey5.sdr", true, &computed);
    EXPECT_EQ(survey5.size(), 13u);
    EXPECT_EQ(computed, 5);
    EXPECT_EQ(ReadSurvey("survey5.sdr").size(), 8u);
}
